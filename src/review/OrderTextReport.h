#pragma once

#include <optional>
#include <string>

#include "store/Entities.h"

namespace torvane {

class Database;

// The fixed-width text of an order attached to the e-mail: a title, a ruled header and one
// line per order line, each field right-aligned to its width (a longer value is written
// whole and pushes the rest of the line along), then the order's note.
class OrderTextReport {
public:
    explicit OrderTextReport(Database& db) : db_(db) {}

    std::string build(const SceltaTestata& testata);
    // Writes the text as UTF-8, replacing the file atomically. False when it could not.
    bool write(const SceltaTestata& testata, const std::string& path);

private:
    Database& db_;
};

}  // namespace torvane
