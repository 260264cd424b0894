#include "rules/OrderCounter.h"

#include <algorithm>
#include <limits>

#include "rules/ScanText.h"
#include "platform/Format.h"
#include "store/Database.h"
#include "store/StoreConnection.h"

namespace torvane {

std::optional<long long> OrderCounter::next(Database& database) {
    auto counter = database.fetchParametroByAttributo(kAttributo);
    if (!counter) {
        counter = database.createParametroWithAttributo(kAttributo, {{"valore", std::string("0")}});
        if (!counter) return std::nullopt;
    }
    long long last = ScanText::leadingInteger(counter->valore().value_or("0"));
    // A counter lost or set back (a store emptied by hand, an old copy) never hands out a
    // number an order in the store already has: orders are found by their number.
    try {
        const auto highest = database.connection()->query("SELECT MAX(codice) FROM \"SceltaTestata\"");
        if (!highest.empty() && !highest.front().empty())
            if (const auto* n = std::get_if<long long>(&highest.front().front())) last = std::max(last, *n);
    } catch (const StoreConnection::SqlError&) {
        return std::nullopt;  // without knowing the orders there, no number is safe to give
    }
    // A counter at the top of the range has no next number; wrapping would repeat old ones.
    if (last == std::numeric_limits<long long>::max()) return std::nullopt;
    const long long number = last + 1;
    const std::string stored = format("%d", number);
    counter->setValore(stored);
    // The setter only logs a refusal: a number not stored would be given again next time.
    if (counter->valore() != stored) return std::nullopt;
    return number;
}

}  // namespace torvane
