#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace torvane {

struct SqlBlob {
    std::vector<unsigned char> bytes;
};

// A value bound to, or read from, a statement; monostate is NULL (absent).
using SqlValue = std::variant<std::monostate, long long, double, std::string, SqlBlob>;
using SqlRow = std::vector<SqlValue>;

}  // namespace torvane
