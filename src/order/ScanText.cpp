#include "order/ScanText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace torvane {

namespace {

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Byte offset of the character at `count`, or the text's size.
std::size_t offsetOf(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isContinuation(static_cast<unsigned char>(text[i]))) continue;
        if (seen == count) return i;
        ++seen;
    }
    return text.size();
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
    for (char c : text)
        if (!isContinuation(static_cast<unsigned char>(c))) ++count;
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
