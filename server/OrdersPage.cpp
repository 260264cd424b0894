#include "OrdersPage.h"

#include "platform/DateFormat.h"
#include "platform/HtmlText.h"

namespace torvane::fiera {

OrdersPage::OrdersPage(const OrderInbox& inbox) : inbox_(inbox) {}

std::optional<OrderSummary> OrdersPage::summaryOf(const StoredOrder& order) {
    // Known by name and time: a file the operator replaced by hand is read again.
    const std::string key = order.name + "|" + std::to_string(order.received.time_since_epoch().count());
    {
        std::lock_guard lock(mutex_);
        if (auto known = summaries_.find(key); known != summaries_.end()) return known->second;
    }
    // Read without the lock: another request for the page never waits on this file.
    std::optional<OrderSummary> summary = OrderFile::read(inbox_.folder() + "/" + order.name);
    std::lock_guard lock(mutex_);
    summaries_.emplace(key, summary);
    return summary;
}

std::string OrdersPage::html() {
    const std::vector<StoredOrder> orders = inbox_.list();
    const DateFormat when("dd/MM/yyyy HH:mm:ss");
    std::string page =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Ordini ricevuti</title>"
        "<style>body{font-family:sans-serif}table{border-collapse:collapse}"
        "td,th{border:1px solid #999;padding:2px 6px}td.n{text-align:right}</style></head>\n<body>\n";
    page += "<h1>Ordini ricevuti: " + std::to_string(orders.size()) + "</h1>\n";
    page += "<table>\n<tr><th>Ricevuto</th><th>Agente</th><th>Cliente</th><th>Ordine</th><th>Righe</th>"
            "<th>File</th></tr>\n";
    for (const StoredOrder& order : orders) {
        const std::optional<OrderSummary> summary = summaryOf(order);
        const OrderSummary shown = summary.value_or(OrderSummary{});
        const std::string agent = shown.agente.empty() ? shown.utente
                                  : shown.utente.empty() ? shown.agente
                                                         : shown.agente + " (" + shown.utente + ")";
        page += "<tr><td>" + htmlEscaped(when.format(order.received)) + "</td><td>" + htmlEscaped(agent) +
                "</td><td>" + htmlEscaped(shown.cliente) + "</td><td class=\"n\">" + htmlEscaped(shown.numero) +
                "</td><td class=\"n\">" + (summary ? std::to_string(shown.righe) : std::string("?")) +
                "</td><td>" + htmlEscaped(order.name) + "</td></tr>\n";
    }
    page += "</table>\n</body></html>\n";
    return page;
}

}  // namespace torvane::fiera
