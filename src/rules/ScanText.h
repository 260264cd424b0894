#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace torvane {

// Text rules of scanned codes and typed numbers. Scanned text may be anything a device sends
// (empty, very long, non-ASCII, control characters): lengths and cuts count characters (code
// points; a byte outside a well-formed UTF-8 sequence is one character), never split one, and
// the number readers take what the text begins with, as the platform's own readers do ("12abc"
// is 12, "abc" is 0).
class ScanText {
public:
    static std::size_t length(std::string_view text);
    // The first `count` characters (all of them when shorter).
    static std::string prefix(std::string_view text, std::size_t count);
    // What follows the first `count` characters (empty when shorter).
    static std::string suffix(std::string_view text, std::size_t count);

    // The integer the text begins with after blanks; 0 when none; clamped to the long range.
    static long long leadingInteger(std::string_view text);
    // The decimal number the text begins with after blanks ("." separator); 0 when none or
    // not finite.
    static double leadingDouble(std::string_view text);

    // Without blanks and line ends on both sides.
    static std::string trimmed(std::string_view text);
    // Without its leading zeros: "000123" is "123", "000" is "".
    static std::string withoutLeadingZeros(std::string_view text);
};

}  // namespace torvane
