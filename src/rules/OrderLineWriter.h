#pragma once

#include <optional>
#include <string>

#include "store/Entities.h"
#include "store/SqlValue.h"

namespace torvane {

class Database;
struct SceltaCorrente;

// Writes a checked order line into the store: the order header on the order's first line
// (with the next order number and the agent), then the line in its plain form or, for an
// article sold by size, one line per colour root with a row per ordered size. Each record is
// written whole by the INSERT that makes it, and everything is one unit: a refusal by the
// store undoes the unit alone and commits nothing, so the agent can confirm again without a
// line counted twice.
class OrderLineWriter {
public:
    struct Outcome {
        // False when the store refused the line: nothing of it was kept.
        bool written = false;
        // The order the line went into; none when a new order would have had no line (a size
        // grid left at 0), in which case no order and no order number were used.
        std::optional<SceltaTestata> testata;
    };

    explicit OrderLineWriter(Database& database) : database_(database) {}

    Outcome write(const SceltaCorrente& scelta);

private:
    std::optional<SceltaTestata> createTestata(const SceltaCorrente& scelta);
    bool writePlain(const SceltaCorrente& scelta, const SceltaTestata& testata);
    bool writeSizes(const SceltaCorrente& scelta, const SceltaTestata& testata);
    // Sizes of one colour root; false when the store refused a record.
    bool writeRoot(const SceltaCorrente& scelta, const SceltaTestata& testata, const ColoreSxBarra& radice);

    Database& database_;
};

}  // namespace torvane
