#include "rules/ScanText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace torvane {

namespace {

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Where the character starting at byte `at` ends. A byte that does not start a complete UTF-8
// sequence (a stray continuation byte, a Latin-1 letter, a cut sequence) is a character of its
// own, so text in another encoding is neither shortened nor lost when cut.
std::size_t characterEnd(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t size = 1;
    if (lead >= 0xC2 && lead <= 0xDF) size = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) size = 3;
    else if (lead >= 0xF0 && lead <= 0xF4) size = 4;
    if (at + size > text.size()) return at + 1;
    for (std::size_t i = at + 1; i < at + size; ++i)
        if (!isContinuation(static_cast<unsigned char>(text[i]))) return at + 1;
    return at + size;
}

// Byte offset of the character at `count`, or the text's size.
std::size_t offsetOf(std::string_view text, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t seen = 0; at < text.size() && seen < count; ++seen) at = characterEnd(text, at);
    return at;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view skipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    return text.substr(i);
}

}  // namespace

std::size_t ScanText::length(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); at = characterEnd(text, at)) ++count;
    return count;
}

std::string ScanText::prefix(std::string_view text, std::size_t count) {
    return std::string(text.substr(0, offsetOf(text, count)));
}

std::string ScanText::suffix(std::string_view text, std::size_t count) {
    return std::string(text.substr(offsetOf(text, count)));
}

long long ScanText::leadingInteger(std::string_view text) {
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    long long value = 0;
    constexpr long long limit = std::numeric_limits<long long>::max();
    for (char c : text) {
        if (c < '0' || c > '9') break;
        const int digit = c - '0';
        if (value > (limit - digit) / 10) return negative ? -limit : limit;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

double ScanText::leadingDouble(std::string_view text) {
    text = skipBlanks(text);
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    // Only plain decimal notation: "inf", "nan" and hexadecimal texts are not quantities.
    std::size_t end = 0;
    if (end < text.size() && text[end] == '-') ++end;
    bool digits = false, point = false;
    for (; end < text.size(); ++end) {
        const char c = text[end];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return 0;
    double value = 0;
    auto [ptr, error] = std::from_chars(text.data(), text.data() + end, value);
    (void)ptr;
    if (error != std::errc() || !std::isfinite(value)) return 0;
    return value;
}

std::string ScanText::trimmed(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

std::string ScanText::withoutLeadingZeros(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == '0') ++i;
    return std::string(text.substr(i));
}

}  // namespace torvane
