#include "review/ReportText.h"

#include <cctype>

namespace torvane {

std::string codeOfText(std::string_view text) {
    if (!startsWith(text, "[")) return std::string(text);
    auto close = text.find(']', 1);
    return std::string(text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

std::optional<std::string> codeOfDescription(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    return codeOfText(*text);
}

std::string withoutFirstCharacter(std::string_view text) {
    if (text.empty()) return {};
    std::size_t next = 1;
    while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
    return std::string(text.substr(next));
}

int attributeNumberOf(std::string_view parameterName) {
    if (parameterName.size() <= 4) return 0;
    std::string_view rest = parameterName.substr(4);
    std::size_t i = 0;
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
    bool negative = false;
    if (i < rest.size() && (rest[i] == '+' || rest[i] == '-')) negative = rest[i++] == '-';
    long value = 0;
    for (; i < rest.size() && std::isdigit(static_cast<unsigned char>(rest[i])); ++i) {
        value = value * 10 + (rest[i] - '0');
        if (value > 1000000) return 0;  // no attribute has such a number
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace torvane
