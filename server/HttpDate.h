#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace torvane::fiera {

// Dates as HTTP writes them ("Sun, 06 Nov 1994 08:49:37 GMT"), whatever the process's locale.
class HttpDate {
public:
    static std::string format(std::time_t when);
    // The time of a date in that form; none for anything else, so a request with a date we
    // cannot read is answered in full rather than wrongly as unchanged.
    static std::optional<std::time_t> parse(std::string_view text);
};

}  // namespace torvane::fiera
