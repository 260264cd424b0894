#include "order/OrderCounter.h"

#include "order/ScanText.h"
#include "platform/Format.h"
#include "store/Database.h"

namespace torvane {

std::optional<long long> OrderCounter::next(Database& database) {
    auto counter = database.fetchParametroByAttributo(kAttributo);
    if (!counter) {
        counter = database.createParametroWithAttributo(kAttributo);
        if (!counter) return std::nullopt;
        counter->setValore(std::string("0"));
    }
    const long long number = ScanText::leadingInteger(counter->valore().value_or("0")) + 1;
    counter->setValore(format("%d", number));
    return number;
}

}  // namespace torvane
