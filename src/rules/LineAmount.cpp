#include "rules/LineAmount.h"

namespace torvane {

Decimal LineAmount::of(const Decimal& price, const Decimal& quantity) { return (price * quantity).rounded(2); }

std::optional<Decimal> LineAmount::of(const std::optional<Decimal>& price, const std::optional<double>& quantity) {
    if (!price || !quantity) return std::nullopt;
    return of(*price, Decimal::fromDouble(*quantity));
}

std::optional<Decimal> LineAmount::ofLine(const SceltaRiga& riga) {
    const auto prezzo = riga.prezzo();
    if (prezzo && !riga.sceltaTaglie().empty()) return prezzo;
    return of(prezzo, riga.quantita());
}

}  // namespace torvane
