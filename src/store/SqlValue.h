#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace torvane {

struct SqlBlob {
    std::vector<unsigned char> bytes;
};

// A value bound to, or read from, a statement; monostate is NULL (absent).
using SqlValue = std::variant<std::monostate, long long, double, std::string, SqlBlob>;
using SqlRow = std::vector<SqlValue>;
// Values by column name, for a row written in one statement.
using ColumnValues = std::vector<std::pair<const char*, SqlValue>>;

}  // namespace torvane
