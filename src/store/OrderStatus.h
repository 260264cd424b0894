#pragma once

#include <optional>

#include "store/Entities.h"

namespace torvane {

// The life of an order header, as the store keeps it in `SceltaTestata.status`: the integers are
// part of every stored order and never change. A header with a date of transmission counts as
// sent for the review whatever its status.
enum class OrderStatus : long long {
    Open = 0,       // being entered or reviewed; at most one at a time
    Sent = 1,       // handed to the mail composer or the fair PC
    Suspended = 2,  // put aside by the agent, or made by "Duplica Ordine"
};

constexpr long long stored(OrderStatus status) { return static_cast<long long>(status); }

// None for a header without a status or with a value that is none of the above.
std::optional<OrderStatus> orderStatusOf(const SceltaTestata& testata);
void setOrderStatus(const SceltaTestata& testata, OrderStatus status);

}  // namespace torvane
