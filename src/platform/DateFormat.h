#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/IsoDate.h"

namespace torvane {

// Dates as the screens, reports and file names show them: an ICU pattern ("dd/MM/yyyy HH:mm",
// "yyyyMMddHHmm", "YYMMddHHmmss", ...) in Italian, in the device's time zone as it was when
// the formatter was made. Pattern letters keep ICU's meaning: "YY"/"YYYY" is the year of
// the week (Italian weeks: from Monday, the first week of a year has at least 4 days), so
// 30 December 2024 is in "25" and 1 January 2027 in "26"; "yyyy" is the calendar year.
//
// A formatter may be used from several threads; copies are independent.
class DateFormat {
public:
    // Throws std::invalid_argument when ICU refuses the pattern (a constant of the code).
    explicit DateFormat(std::string_view pattern);
    DateFormat(const DateFormat& other);
    DateFormat& operator=(const DateFormat& other);
    DateFormat(DateFormat&&) noexcept;
    DateFormat& operator=(DateFormat&&) noexcept;
    ~DateFormat();

    std::string format(Timestamp time) const;
    // Strict: the whole text must be in the pattern and name a time that formats back to
    // the same text. None otherwise (garbage, 31/02, a wall time skipped by daylight saving).
    // With a week year and a day of the month ("dd/MM/YYYY") the day is found among the
    // calendar years next to the week year; a text two days fit ("03/01/2026") is refused.
    std::optional<Timestamp> parse(std::string_view text) const;

    const std::string& pattern() const;
    std::string timeZoneId() const;  // the zone this formatter works in

    // ICU reads the device's zone once; after the zone (TZ) changed, this makes formatters
    // made from then on follow it.
    static void refreshDeviceTimeZone();
    static std::string deviceTimeZoneId();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace torvane
