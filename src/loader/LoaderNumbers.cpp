#include "loader/LoaderNumbers.h"

#include <algorithm>
#include <climits>

#include "platform/Log.h"

namespace torvane {

namespace {

Decimal readOrZero(const std::string& text, std::string_view original, std::string_view field) {
    auto start = text.find_first_not_of(" \t\r\n");
    auto end = text.find_last_not_of(" \t\r\n");
    std::string trimmed = start == std::string::npos ? std::string() : text.substr(start, end - start + 1);
    if (auto value = Decimal::parse(trimmed)) return *value;
    Log::f("Valore numerico non valido per %@: '%@' (letto come 0)", std::string(field), std::string(original));
    return Decimal::fromInteger(0);
}

}  // namespace

Decimal LoaderNumbers::decimalWithComma(std::string_view text, std::string_view field) {
    std::string replaced(text);
    std::replace(replaced.begin(), replaced.end(), ',', '.');
    return readOrZero(replaced, text, field);
}

Decimal LoaderNumbers::decimalWithPoint(std::string_view text, std::string_view field) {
    return readOrZero(std::string(text), text, field);
}

long long LoaderNumbers::leadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        int digit = text[i] - '0';
        if (value > (LLONG_MAX - digit) / 10) return negative ? LLONG_MIN : LLONG_MAX;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

std::string LoaderNumbers::firstCharacters(const std::string& text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t seen = 0; i < text.size() && seen < count; ++seen) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
    return text.substr(0, i);
}

}  // namespace torvane
