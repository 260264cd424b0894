#pragma once

#include <optional>

#include "platform/IsoDate.h"
#include "store/Entities.h"

namespace torvane {

class Database;

// "Duplica Ordine": a sent order copied into a new suspended one, numbered by the order
// counter, with its commercial data, lines and sizes, but no agent, destination, signature
// or transmission data. All of it is one unit: on any refusal nothing of the copy remains
// and the counter is not moved.
class DuplicaOrdine {
public:
    // The new order's number; none when the store refused (rolled back).
    static std::optional<long long> duplica(Database& db, const SceltaTestata& origine, Timestamp now);
};

}  // namespace torvane
