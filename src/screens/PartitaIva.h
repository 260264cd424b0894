#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// The Italian VAT number's rules, shared by the client registry and the review's destination
// form (the short new-client form keeps one tax-code field, which may hold a personal tax code).
class PartitaIva {
public:
    // The check digit (Luhn): from the last character back, alternately the digit and the digit
    // sum of its double are added; the total must end in 0. A non-digit counts 0, so an empty
    // text passes: callers check the shape first.
    static bool luhnCheck(std::string_view text);
    // One string per character (UTF-8 aware).
    static std::vector<std::string> toCharArray(std::string_view text);

    // What is wrong with a VAT number that is given, or none: "PartitaIva con lunghezza errata !"
    // when it is not 11 characters long, "PartitaIva errata !" when they are not 11 digits or
    // the check digit fails, or the office part (digits 8 to 10) is 000, as in eleven zeros.
    static std::optional<std::string> problem(std::string_view text);
};

}  // namespace torvane
