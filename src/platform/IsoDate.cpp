#include "platform/IsoDate.h"

#include <fmt/format.h>

namespace torvane {

using namespace std::chrono;

std::string isoDateString(Timestamp time) {
    auto milliseconds = floor<std::chrono::milliseconds>(time);
    auto day = floor<days>(milliseconds);  // floor, so times before 1970 keep a positive time of day
    year_month_day date{day};
    hh_mm_ss clock{milliseconds - day};
    return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}.{:03}Z", static_cast<int>(date.year()),
                       static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), clock.hours().count(),
                       clock.minutes().count(), clock.seconds().count(), clock.subseconds().count());
}

namespace {

bool readDigits(std::string_view text, size_t at, size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

bool separator(std::string_view text, size_t at, char c) { return at < text.size() && text[at] == c; }

}  // namespace

std::optional<Timestamp> parseIsoDate(std::string_view text) {
    int year, month, day, hour, minute, second;
    if (!readDigits(text, 0, 4, year) || !separator(text, 4, '-') || !readDigits(text, 5, 2, month) ||
        !separator(text, 7, '-') || !readDigits(text, 8, 2, day) || !separator(text, 10, 'T') ||
        !readDigits(text, 11, 2, hour) || !separator(text, 13, ':') || !readDigits(text, 14, 2, minute) ||
        !separator(text, 16, ':') || !readDigits(text, 17, 2, second))
        return std::nullopt;
    year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                        std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
    size_t at = 19;
    int fraction = 0;  // milliseconds
    if (separator(text, at, '.')) {
        size_t start = ++at;
        int weight = 100;
        for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
            fraction += (text[at] - '0') * weight;
            weight /= 10;
        }
        if (at == start) return std::nullopt;
    }
    int offsetMinutes = 0;
    if (at < text.size()) {
        if (text[at] == 'Z' && at + 1 == text.size()) {
            // UTC
        } else if ((text[at] == '+' || text[at] == '-') && text.size() == at + 6 && text[at + 3] == ':') {
            int offsetHours, offsetMins;
            if (!readDigits(text, at + 1, 2, offsetHours) || !readDigits(text, at + 4, 2, offsetMins) ||
                offsetHours > 23 || offsetMins > 59)
                return std::nullopt;
            offsetMinutes = (offsetHours * 60 + offsetMins) * (text[at] == '-' ? -1 : 1);
        } else {
            return std::nullopt;
        }
    }
    auto local = sys_days(date) + hours(hour) + minutes(minute) + seconds(second) + milliseconds(fraction);
    return Timestamp(local - minutes(offsetMinutes));
}

}  // namespace torvane
