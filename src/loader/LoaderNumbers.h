#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Decimal.h"

namespace torvane {

// Number readings of the input documents. A number that is not well-formed (letters, two
// decimal points) reads as 0 and is logged with the field it came from, so a bad value never
// stops the rest of the document.
struct LoaderNumbers {
    // "12,50" and "12.50" alike: every ',' read as the decimal point.
    static Decimal decimalWithComma(std::string_view text, std::string_view field);
    // Only '.' is a decimal point ("1,5" is not a number).
    static Decimal decimalWithPoint(std::string_view text, std::string_view field);
    // The leading whole number, as the platform's intValue reads it: blanks, a sign, digits;
    // 0 when there are none ("12abc" is 12).
    static long long leadingInteger(std::string_view text);
    // The first `count` characters (UTF-8), or the whole text when it is shorter.
    static std::string firstCharacters(const std::string& text, std::size_t count);
};

}  // namespace torvane
