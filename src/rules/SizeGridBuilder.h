#pragma once

#include <optional>

#include "store/Entities.h"

namespace torvane {

class Database;

// Prepares the size grid of an article sold by size: one colour root per run of colours
// with the same code before "/", and under each root one temporary row per size of the
// article's group, holding the quantities already ordered for it in the open order.
class SizeGridBuilder {
public:
    // `testata` is the order being filled, if any; without one the single open order is
    // used when there is exactly one.
    static void prepare(Database& database, const Articolo& articolo, const std::optional<SceltaTestata>& testata);

    // The colour root of a colour code: the part before the first "/".
    static std::string radiceColore(const std::string& codice);

private:
    static void buildRoots(Database& database, const Articolo& articolo);
    static void buildRows(Database& database, const Articolo& articolo);
    static void fillOrdered(Database& database, const Articolo& articolo, const std::optional<SceltaTestata>& testata);
};

}  // namespace torvane
