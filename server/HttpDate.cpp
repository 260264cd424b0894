#include "HttpDate.h"

#include <cstdio>
#include <cstring>

namespace torvane::fiera {

namespace {

constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

std::string HttpDate::format(std::time_t when) {
    std::tm t{};
    gmtime_r(&when, &t);
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDays[t.tm_wday % 7], t.tm_mday,
                  kMonths[t.tm_mon % 12], t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

std::optional<std::time_t> HttpDate::parse(std::string_view text) {
    if (text.size() != 29) return std::nullopt;
    const std::string copy(text);
    char day[4] = {}, month[4] = {}, zone[4] = {};
    std::tm t{};
    int consumed = 0;
    if (std::sscanf(copy.c_str(), "%3s, %2d %3s %4d %2d:%2d:%2d %3s%n", day, &t.tm_mday, month, &t.tm_year, &t.tm_hour,
                    &t.tm_min, &t.tm_sec, zone, &consumed) != 8 ||
        consumed != 29 || std::strcmp(zone, "GMT") != 0)
        return std::nullopt;
    t.tm_mon = -1;
    for (int m = 0; m < 12; ++m)
        if (std::strcmp(month, kMonths[m]) == 0) t.tm_mon = m;
    if (t.tm_mon < 0 || t.tm_mday < 1 || t.tm_mday > 31 || t.tm_hour > 23 || t.tm_min > 59 || t.tm_sec > 60)
        return std::nullopt;
    t.tm_year -= 1900;
    return timegm(&t);
}

}  // namespace torvane::fiera
