#pragma once

#include <optional>

namespace torvane {

class Database;

// The device's order numbers: the last one given is kept as decimal text in the parameter
// "SYSTEM_ProgressivoOrdine", created with "0" the first time.
class OrderCounter {
public:
    static constexpr const char* kAttributo = "SYSTEM_ProgressivoOrdine";

    // Stores and returns the next number (pending until the caller commits); none when the
    // counter cannot be read, created or written.
    static std::optional<long long> next(Database& database);
};

}  // namespace torvane
