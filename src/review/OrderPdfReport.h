#pragma once

#include <string>

#include "store/Entities.h"

namespace torvane {

class Database;

// The printable order: US Letter pages, a bold title wrapped within the margins over a blue
// rule, then one row per order line (article and colour on the left, unit, quantity, price,
// currency and amount on the right). Texts are measured as laid out; a row that would end
// below the page's writing area starts a new page.
class OrderPdfReport {
public:
    static constexpr double kPageWidth = 612;
    static constexpr double kPageHeight = 792;
    static constexpr double kMargin = 50;
    static constexpr double kBottom = 692;  // rows never end below this line

    explicit OrderPdfReport(Database& db) : db_(db) {}

    // Writes the PDF to a file beside `path` and moves it over `path` when complete. False
    // when the file could not be written.
    bool write(const SceltaTestata& testata, const std::string& path);

private:
    Database& db_;
};

}  // namespace torvane
