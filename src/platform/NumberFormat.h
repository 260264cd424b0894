#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/Decimal.h"

namespace torvane {

// Numbers as the screens and reports show them, through ICU: "." groups thousands and ","
// separates the decimals, whatever the device's language. Halves round away from zero
// (2.345 with "#,##0.00" is "2,35"), on the exact decimal value, never on a binary one.
//
// A formatter is immutable and cheap to copy (copies share the ICU formatter), and safe
// to use from several threads. Formatters of the same pattern are built once per process.
class NumberFormat {
public:
    // A pattern such as "#,##0.00", "###,##0.00", "####0", "#,###,##0", "##0.0".
    // Throws std::invalid_argument when ICU refuses the pattern: patterns are constants
    // of the code, so a bad one is a mistake to see at once.
    explicit NumberFormat(std::string_view pattern);
    // No grouping, as many decimals as the value has (up to 10): 1234.5 is "1234,5".
    static NumberFormat plainDecimal();

    std::string format(const Decimal& value) const;
    // Through the shortest text of the double, as Decimal::fromDouble (not-a-number is 0).
    std::string format(double value) const;
    std::string format(long long value) const;
    std::string format(int value) const { return format(static_cast<long long>(value)); }

    const std::string& pattern() const;
    int maximumFractionDigits() const;

private:
    struct Impl;
    std::shared_ptr<const Impl> impl_;
};

}  // namespace torvane
