#include "screens/PartitaIva.h"

#include <algorithm>

#include "platform/Format.h"

namespace torvane {

std::vector<std::string> PartitaIva::toCharArray(std::string_view text) {
    std::vector<std::string> characters;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        length = std::min(length, text.size() - i);
        characters.emplace_back(text.substr(i, length));
        i += length;
    }
    return characters;
}

bool PartitaIva::luhnCheck(std::string_view text) {
    const std::vector<std::string> characters = toCharArray(text);
    int sumA = 0;
    int sumB = 0;
    bool alternate = false;
    for (auto it = characters.rbegin(); it != characters.rend(); ++it) {
        const char c = it->size() == 1 ? (*it)[0] : 'x';
        const int d = c >= '0' && c <= '9' ? c - '0' : 0;
        if (!alternate) sumA += d;
        else sumB += d / 5 + (2 * d) % 10;
        alternate = !alternate;
    }
    return (sumA + sumB) % 10 == 0;
}

std::optional<std::string> PartitaIva::problem(std::string_view text) {
    if (utf16Length(text) != 11) return std::string("PartitaIva con lunghezza errata !");
    // A non-digit would count 0 in the check digit, so "AB000000000" would pass it.
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::string("PartitaIva errata !");
    if (!luhnCheck(text)) return std::string("PartitaIva errata !");
    // Digits 8 to 10 name the issuing office, and no office is 000: eleven zeros pass the check
    // digit yet are no one's number.
    if (text.substr(7, 3) == "000") return std::string("PartitaIva errata !");
    return std::nullopt;
}

}  // namespace torvane
