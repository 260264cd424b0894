#pragma once

#include <string_view>

namespace torvane {

// A company code becomes a file name (its store, its photo folder), so only plain codes are
// taken: letters, digits, "-" and "_", 1 to 32 characters, as the profile service gives them.
class CompanyCode {
public:
    static constexpr std::size_t maxLength = 32;
    static bool isPlain(std::string_view code);
};

}  // namespace torvane
