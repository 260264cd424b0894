#pragma once

#include <optional>
#include <string>

#include "store/Entities.h"

namespace torvane {

class Database;
struct SceltaCorrente;

// Writes a checked order line into the store: the order header on the order's first line
// (with the next order number and the agent), then the line in its plain form or, for an
// article sold by size, one line per colour root with a row per ordered size. Everything it
// writes is one unit: a refusal by the store undoes the unit alone and commits nothing, so
// the agent can confirm again without a line counted twice.
class OrderLineWriter {
public:
    explicit OrderLineWriter(Database& database) : database_(database) {}

    // The order the line went into, or none when the store refused it.
    std::optional<SceltaTestata> write(const SceltaCorrente& scelta);

private:
    std::optional<SceltaTestata> createTestata(const SceltaCorrente& scelta);
    bool writePlain(const SceltaCorrente& scelta, const SceltaTestata& testata);
    bool writeSizes(const SceltaCorrente& scelta, const SceltaTestata& testata);
    // Sizes of one colour root; false when the store refused a record.
    bool writeRoot(const SceltaCorrente& scelta, const SceltaTestata& testata, const ColoreSxBarra& radice);

    Database& database_;
};

}  // namespace torvane
