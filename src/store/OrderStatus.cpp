#include "store/OrderStatus.h"

namespace torvane {

std::optional<OrderStatus> orderStatusOf(const SceltaTestata& testata) {
    const auto value = testata.status();
    if (!value) return std::nullopt;
    for (OrderStatus known : {OrderStatus::Open, OrderStatus::Sent, OrderStatus::Suspended})
        if (*value == stored(known)) return known;
    return std::nullopt;
}

void setOrderStatus(const SceltaTestata& testata, OrderStatus status) { testata.setStatus(stored(status)); }

}  // namespace torvane
