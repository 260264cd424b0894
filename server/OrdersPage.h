#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "OrderFile.h"
#include "OrderInbox.h"

namespace torvane::fiera {

// The page of received orders for the person at the stand: time, agent, client, order
// number, lines. Every text from an order is escaped. Stored orders do not change, so each
// is read once.
class OrdersPage {
public:
    explicit OrdersPage(const OrderInbox& inbox);
    std::string html();

private:
    std::optional<OrderSummary> summaryOf(const StoredOrder& order);

    const OrderInbox& inbox_;
    std::mutex mutex_;
    std::map<std::string, std::optional<OrderSummary>> summaries_;
};

}  // namespace torvane::fiera
