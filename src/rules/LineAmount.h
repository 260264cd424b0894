#pragma once

#include <optional>

#include "platform/Decimal.h"
#include "store/Entities.h"

namespace torvane {

// What an order line is worth, the one rule the order screens, the review and the printed
// reports share: price × quantity rounded to cents, halves away from zero; a line with sizes
// stores its amount (the sum of its size rows) as its price, so it counts that unchanged.
class LineAmount {
public:
    static Decimal of(const Decimal& price, const Decimal& quantity);
    // None without either.
    static std::optional<Decimal> of(const std::optional<Decimal>& price, const std::optional<double>& quantity);
    // A stored line's amount: its price for a line with sizes, price × quantity otherwise;
    // none for a line without a price (a T+CC line) or, without sizes, without a quantity.
    static std::optional<Decimal> ofLine(const SceltaRiga& riga);
};

}  // namespace torvane
