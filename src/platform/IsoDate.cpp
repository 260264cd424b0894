#include "platform/IsoDate.h"

#include <ctime>

#include <fmt/format.h>

namespace torvane {

std::string isoDateString(Timestamp time) {
    using namespace std::chrono;
    auto milliseconds = duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    long long seconds = milliseconds / 1000;
    int fraction = static_cast<int>(milliseconds % 1000);
    if (fraction < 0) {
        fraction += 1000;
        --seconds;
    }
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    gmtime_r(&t, &parts);
    return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}.{:03}Z", parts.tm_year + 1900, parts.tm_mon + 1,
                       parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, fraction);
}

namespace {

bool digits(std::string_view text, size_t at, size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

std::optional<Timestamp> parseIsoDate(std::string_view text) {
    int year, month, day, hour, minute, second;
    if (!digits(text, 0, 4, year) || text.size() < 19 || text[4] != '-' || !digits(text, 5, 2, month) ||
        text[7] != '-' || !digits(text, 8, 2, day) || (text[10] != 'T' && text[10] != ' ') ||
        !digits(text, 11, 2, hour) || text[13] != ':' || !digits(text, 14, 2, minute) || text[16] != ':' ||
        !digits(text, 17, 2, second))
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) return std::nullopt;
    size_t at = 19;
    long long milliseconds = 0;
    if (at < text.size() && text[at] == '.') {
        ++at;
        size_t start = at;
        long long scale = 100;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            milliseconds += (text[at] - '0') * scale;
            scale /= 10;
            ++at;
        }
        if (at == start) return std::nullopt;
    }
    int offsetMinutes = 0;
    if (at < text.size()) {
        if (text[at] == 'Z' && at + 1 == text.size()) {
            ++at;
        } else if ((text[at] == '+' || text[at] == '-') && text.size() == at + 6 && text[at + 3] == ':') {
            int offsetHours, offsetMins;
            if (!digits(text, at + 1, 2, offsetHours) || !digits(text, at + 4, 2, offsetMins)) return std::nullopt;
            offsetMinutes = (offsetHours * 60 + offsetMins) * (text[at] == '-' ? -1 : 1);
            at = text.size();
        } else {
            return std::nullopt;
        }
    }
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    std::time_t seconds = timegm(&parts);
    return Timestamp(std::chrono::milliseconds((static_cast<long long>(seconds) - offsetMinutes * 60LL) * 1000 +
                                               milliseconds));
}

}  // namespace torvane
