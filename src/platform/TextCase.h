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
};

}  // namespace torvane
