#pragma once

namespace torvane {

class Database;

// Switches the store's automatic commit off for its lifetime and then puts back the value it
// found (a catalogue run keeps it off for its whole length). While it is off, a refused
// statement no longer rolls back everything pending.
class AutoCommitPause {
public:
    explicit AutoCommitPause(Database& database);
    ~AutoCommitPause();
    AutoCommitPause(const AutoCommitPause&) = delete;
    AutoCommitPause& operator=(const AutoCommitPause&) = delete;

private:
    Database& database_;
    bool previous_;
};

}  // namespace torvane
