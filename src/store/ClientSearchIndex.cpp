#include "store/ClientSearchIndex.h"

#include <variant>

#include "store/StoreConnection.h"

namespace torvane {

namespace {

// The fields a search looks in; a word typed never spans two of them.
constexpr const char* kFolded =
    "torvane_search_text(NEW.\"ragioneSociale1\", NEW.\"ragioneSociale2\", NEW.\"ragioneSociale3\", NEW.\"citta\")";

bool hasColumn(StoreConnection& connection) {
    for (const auto& row : connection.query("PRAGMA table_info(\"Cliente\")"))
        if (auto* name = std::get_if<std::string>(&row.at(1)); name && *name == ClientSearchIndex::kColumn)
            return true;
    return false;
}

}  // namespace

void ClientSearchIndex::install(StoreConnection& connection) {
    const std::string column = std::string("\"") + kColumn + "\"";
    const std::string refresh = std::string(" BEGIN UPDATE \"Cliente\" SET ") + column + " = " + kFolded +
                                " WHERE id = NEW.id; END";
    const bool fill = !hasColumn(connection);
    if (fill) connection.executeScript("ALTER TABLE \"Cliente\" ADD COLUMN " + column + " TEXT");
    connection.executeScript("CREATE TRIGGER IF NOT EXISTS \"Cliente_ricerca_insert\" AFTER INSERT ON \"Cliente\"" +
                             refresh);
    connection.executeScript(
        "CREATE TRIGGER IF NOT EXISTS \"Cliente_ricerca_update\" AFTER UPDATE OF \"ragioneSociale1\", "
        "\"ragioneSociale2\", \"ragioneSociale3\", \"citta\" ON \"Cliente\"" +
        refresh);
    // Name order first, as the list shows it: the search walks this index and never sorts.
    connection.executeScript("CREATE INDEX IF NOT EXISTS \"idx_Cliente_ricerca\" ON \"Cliente\"(\"ragioneSociale1\", id, " +
                             column + ")");
    if (fill) {
        std::string folded = kFolded;
        for (std::size_t at; (at = folded.find("NEW.")) != std::string::npos;) folded.erase(at, 4);
        connection.executeScript("UPDATE \"Cliente\" SET " + column + " = " + folded);
    }
}

std::string ClientSearchIndex::matchesEveryWord() {
    return std::string("torvane_every_word(\"") + kColumn + "\", ?)";
}

}  // namespace torvane
