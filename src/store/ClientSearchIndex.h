#pragma once

#include <string>

namespace torvane {

class StoreConnection;

// The client search's own column: each client's name lines and town, folded for case and
// accents, one field per line. Triggers keep it in step with every write (a catalogue load, a
// form, the registry), and an index in name order carries it, so a search keystroke reads the
// index alone and compares plain bytes instead of folding every client's name again.
class ClientSearchIndex {
public:
    static constexpr const char* kColumn = "ricerca";

    // Adds the column, its triggers and index when missing, filling the column of the clients
    // already stored.
    static void install(StoreConnection& connection);
    // The condition "every word of the bound text occurs in the client's fields".
    static std::string matchesEveryWord();
};

}  // namespace torvane
