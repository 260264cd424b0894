#include <gtest/gtest.h>

#include "platform/IsoDate.h"

using namespace torvane;
using namespace std::chrono;

TEST(IsoDate, WritesUtcWithMilliseconds) {
    Timestamp epoch{};
    EXPECT_EQ(isoDateString(epoch), "1970-01-01T00:00:00.000Z");
    EXPECT_EQ(isoDateString(sys_days(2026y / December / 6) + 10h + 15min + 30s + 123ms), "2026-12-06T10:15:30.123Z");
    // Finer parts are truncated, never rounded up into the next second.
    EXPECT_EQ(isoDateString(sys_days(2026y / December / 31) + 23h + 59min + 59s + 999999us),
              "2026-12-31T23:59:59.999Z");
    EXPECT_EQ(isoDateString(epoch - 500ms), "1969-12-31T23:59:59.500Z");
    EXPECT_EQ(isoDateString(sys_days(2024y / February / 29)), "2024-02-29T00:00:00.000Z");
}

TEST(IsoDate, ReadsFractionsAndZones) {
    Timestamp expected = sys_days(2026y / December / 6) + 10h + 15min + 30s;
    // Without a zone the time is UTC; digits past the millisecond are cut.
    const std::pair<const char*, Timestamp> rows[] = {
        {"2026-12-06T10:15:30Z", expected}, {"2026-12-06T10:15:30", expected},
        {"2026-12-06T11:15:30+01:00", expected}, {"2026-12-06T05:45:30-04:30", expected},
        {"2026-12-07T00:15:30+14:00", expected}, {"2026-12-06T10:15:30.1Z", expected + 100ms},
        {"2026-12-06T10:15:30.250+00:00", expected + 250ms}, {"2026-12-06T10:15:30.123456789Z", expected + 123ms}};
    for (const auto& [text, when] : rows) EXPECT_EQ(parseIsoDate(text), when) << text;
    EXPECT_EQ(parseIsoDate("1969-12-31T23:59:59.500Z"), Timestamp{} - 500ms);
    EXPECT_EQ(parseIsoDate("2024-02-29T00:00:00Z"), Timestamp(sys_days(2024y / February / 29)));
}

TEST(IsoDate, WhatIsWrittenReadsBackTheSame) {
    for (const char* text : {"2026-12-06T10:15:30.123Z", "2000-01-01T00:00:00.000Z", "1969-07-20T20:17:40.001Z",
                             "2099-12-31T23:59:59.999Z"}) {
        auto parsed = parseIsoDate(text);
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(isoDateString(*parsed), text);
    }
}

TEST(IsoDate, RefusesAnythingElse) {
    for (const char* bad :
         {"", "2026-12-06", "2026-12-06T10:15", "2026-13-01T00:00:00Z", "2026-00-01T00:00:00Z", "2026-02-29T00:00:00Z",
          "2026-04-31T00:00:00Z", "2026-12-00T00:00:00Z", "2026-12-06T24:00:00Z", "2026-12-06T10:60:00Z",
          "2026-12-06T10:15:60Z", "2026-12-06T10:15:30X", "2026-12-06T10:15:30.Z", "2026/12/06T10:15:30Z",
          "2026-12-06 10:15:30Z", "2026-12-06t10:15:30Z", "2026-12-06T10:15:30+0100", "2026-12-06T10:15:30+01",
          "2026-12-06T10:15:30+01:60", "2026-12-06T10:15:30+24:00", "2026-12-06T10:15:30Zjunk",
          "2026-12-06T10:15:30z", " 2026-12-06T10:15:30Z", "2026-12-06T10:15:30Z ", "26-12-06T10:15:30Z",
          "2026-1a-06T10:15:30Z", "2026-12-06T10:15:30.12a"})
        EXPECT_FALSE(parseIsoDate(bad)) << bad;
}
