#pragma once

#include <string>
#include <string_view>

namespace torvane {

// Case rules for every script, not only ASCII ("è" upper-cases to "È"), through ICU.
class TextCase {
public:
    static std::string upper(std::string_view utf8);
    // True when `needle` occurs in `haystack` ignoring case; an empty needle never matches.
    static bool containsIgnoringCase(std::string_view haystack, std::string_view needle);
    // The text folded for comparisons that ignore case (and, when asked, accents: "Città"
    // and "CITTA" fold alike). Compare folded texts byte by byte.
    static std::string fold(std::string_view utf8, bool ignoreAccents);
    // True when `a` sorts before `b` in the user's (Italian) language: "àncora" beside
    // "ancora", lower and upper case together.
    static bool lessInLocale(std::string_view a, std::string_view b);
};

}  // namespace torvane
