#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <thread>

#include "platform/DateFormat.h"

using namespace torvane;
using namespace std::chrono;

namespace {

Timestamp utc(year_month_day date, hours h = 0h, minutes m = 0min, seconds s = 0s) {
    return Timestamp(sys_days(date) + h + m + s);
}

// Each test runs in a zone it names, and gives the process its own zone back.
class DateFormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        hadZone_ = tz != nullptr;
        if (tz) savedZone_ = tz;
        useZone("Europe/Rome");
    }
    void TearDown() override {
        if (hadZone_) setenv("TZ", savedZone_.c_str(), 1);
        else unsetenv("TZ");
        DateFormat::refreshDeviceTimeZone();
    }
    static void useZone(const char* zone) {
        setenv("TZ", zone, 1);
        DateFormat::refreshDeviceTimeZone();
    }

private:
    bool hadZone_ = false;
    std::string savedZone_;
};

}  // namespace

TEST_F(DateFormatTest, FormatsInTheDeviceZone) {
    Timestamp winter = utc(2026y / December / 6, 10h, 15min, 30s);
    Timestamp summer = utc(2026y / July / 1, 22h, 5min);
    EXPECT_EQ(DateFormat::deviceTimeZoneId(), "Europe/Rome");
    EXPECT_EQ(DateFormat("dd/MM/yyyy HH:mm").format(winter), "06/12/2026 11:15");
    EXPECT_EQ(DateFormat("dd/MM/yyyy HH:mm").format(summer), "02/07/2026 00:05");  // next day in Rome
    EXPECT_EQ(DateFormat("dd-MM-yyyy").format(winter), "06-12-2026");
    EXPECT_EQ(DateFormat("yyyyMMddHHmm").format(winter), "202612061115");
    EXPECT_EQ(DateFormat("YYMMddHHmmss").format(winter), "261206111530");
    EXPECT_EQ(DateFormat("dd/MM/YYYY").format(winter), "06/12/2026");
    EXPECT_EQ(DateFormat("HH:mm").format(summer), "00:05");
    // Milliseconds are cut, not rounded, and times before 1970 work alike.
    EXPECT_EQ(DateFormat("HH:mm").format(utc(2026y / December / 6, 10h, 59min, 59s) + 999ms), "11:59");
    EXPECT_EQ(DateFormat("dd/MM/yyyy HH:mm").format(utc(1969y / December / 31, 23h, 30min)), "01/01/1970 00:30");
}

// "YY" is the year of the Italian week: weeks start on Monday and the first week of a
// year is the first with at least four of its days.
TEST_F(DateFormatTest, WeekYearAroundNewYear) {
    DateFormat stamp("YYMMddHHmmss");
    DateFormat weekDate("dd/MM/YYYY");
    DateFormat calendarDate("dd/MM/yyyy");
    // Monday 30 December 2024 opens the first week of 2025.
    EXPECT_EQ(stamp.format(utc(2024y / December / 30, 9h)), "251230100000");
    EXPECT_EQ(weekDate.format(utc(2024y / December / 30, 9h)), "30/12/2025");
    EXPECT_EQ(calendarDate.format(utc(2024y / December / 30, 9h)), "30/12/2024");
    // Sunday 29 December 2024 is still in the last week of 2024.
    EXPECT_EQ(weekDate.format(utc(2024y / December / 29, 9h)), "29/12/2024");
    // Friday 1 January 2027 belongs to week 53 of 2026.
    EXPECT_EQ(stamp.format(utc(2027y / January / 1, 9h)), "260101100000");
    EXPECT_EQ(weekDate.format(utc(2027y / January / 3, 9h)), "03/01/2026");
    EXPECT_EQ(weekDate.format(utc(2027y / January / 4, 9h)), "04/01/2027");  // Monday: week 1
    // Sunday 3 January 2021 is in week 53 of 2020.
    EXPECT_EQ(stamp.format(utc(2021y / January / 3, 9h)), "200103100000");
    // The zone decides the day: 23:30 UTC on 29 December 2024 is already Monday in Rome.
    EXPECT_EQ(weekDate.format(utc(2024y / December / 29, 23h, 30min)), "30/12/2025");
}

TEST_F(DateFormatTest, ParsesStrictlyInTheDeviceZone) {
    DateFormat full("dd/MM/yyyy HH:mm");
    EXPECT_EQ(full.parse("06/12/2026 11:15"), utc(2026y / December / 6, 10h, 15min));
    EXPECT_EQ(full.parse("02/07/2026 00:05"), utc(2026y / July / 1, 22h, 5min));
    EXPECT_EQ(DateFormat("dd-MM-yyyy").parse("06-12-2026"), utc(2026y / December / 5, 23h));
    EXPECT_EQ(DateFormat("yyyyMMddHHmm").parse("202612061115"), utc(2026y / December / 6, 10h, 15min));
    EXPECT_EQ(DateFormat("YYMMddHHmmss").parse("261206111530"), utc(2026y / December / 6, 10h, 15min, 30s));
    EXPECT_EQ(DateFormat("HH:mm").parse("11:15"), utc(1970y / January / 1, 10h, 15min));
    for (const char* bad : {"", "abc", "06/12/2026", "06/12/2026 11:15 ", " 06/12/2026 11:15", "06/12/2026 11:15x",
                            "6/12/2026 11:15", "32/12/2026 11:15", "31/02/2026 11:15", "29/02/2026 11:15",
                            "06/13/2026 11:15", "06/12/2026 24:00", "06/12/2026 11:60", "06-12-2026 11:15",
                            "06/12/26 11:15", "١٢/١٢/٢٠٢٦ 11:15"})
        EXPECT_FALSE(full.parse(bad)) << bad;
    EXPECT_FALSE(DateFormat("yyyyMMddHHmm").parse("2026120611150"));
    EXPECT_FALSE(DateFormat("yyyyMMddHHmm").parse("20261206111"));
    // 02:30 on 29 March 2026 does not exist in Rome; 02:30 on 25 October exists twice.
    EXPECT_FALSE(full.parse("29/03/2026 02:30"));
    auto twice = full.parse("25/10/2026 02:30");
    ASSERT_TRUE(twice);
    EXPECT_EQ(full.format(*twice), "25/10/2026 02:30");
}

// ICU alone reads "dd/MM/YYYY" as the start of the week year, whatever the day and month.
TEST_F(DateFormatTest, WeekYearTextsReadBackOnlyWhenTheyNameOneDay) {
    DateFormat weekDate("dd/MM/YYYY");
    for (const char* text : {"30/12/2025", "29/12/2024", "04/01/2027", "06/12/2026", "29/02/2024"}) {
        auto parsed = weekDate.parse(text);
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(weekDate.format(*parsed), text);
    }
    EXPECT_EQ(weekDate.parse("30/12/2025"), utc(2024y / December / 29, 23h));  // midnight in Rome
    EXPECT_EQ(weekDate.parse("06/12/2026"), utc(2026y / December / 5, 23h));
    EXPECT_EQ(DateFormat("YYMMddHHmmss").parse("251230100000"), utc(2024y / December / 30, 9h));
    EXPECT_EQ(DateFormat("YYMMddHHmmss").parse("260104100000"), utc(2026y / January / 4, 9h));
    // 31 December 2024 is in week 1 of 2025, so no year makes it ".../2024".
    EXPECT_FALSE(weekDate.parse("31/12/2024"));
    EXPECT_FALSE(weekDate.parse("29/02/2025"));
    // 3 January 2026 and 3 January 2027 are both in week year 2026; 30 December 2025 and
    // 30 December 2026 likewise: such texts name two days and are refused.
    EXPECT_FALSE(weekDate.parse("03/01/2026"));
    EXPECT_FALSE(weekDate.parse("30/12/2026"));
    EXPECT_FALSE(DateFormat("YYMMddHHmmss").parse("260101100000"));  // 1 January 2026 or 2027
}

TEST_F(DateFormatTest, FollowsTheZoneAtCreation) {
    Timestamp when = utc(2026y / December / 6, 10h, 15min);
    DateFormat rome("dd/MM/yyyy HH:mm");
    useZone("America/New_York");
    DateFormat newYork("dd/MM/yyyy HH:mm");
    EXPECT_EQ(newYork.timeZoneId(), "America/New_York");
    EXPECT_EQ(newYork.format(when), "06/12/2026 05:15");
    EXPECT_EQ(newYork.parse("06/12/2026 05:15"), when);
    EXPECT_EQ(rome.timeZoneId(), "Europe/Rome");  // made before the change
    EXPECT_EQ(rome.format(when), "06/12/2026 11:15");
    useZone("UTC");
    EXPECT_EQ(DateFormat("HH:mm").format(when), "10:15");
}

TEST_F(DateFormatTest, CopiesAndThreadsDoNotDisturbEachOther) {
    DateFormat format("yyyyMMddHHmm");
    DateFormat copy = format;
    DateFormat assigned("HH:mm");
    assigned = copy;
    EXPECT_EQ(assigned.pattern(), "yyyyMMddHHmm");
    Timestamp start = utc(2026y / January / 1);
    std::vector<std::string> results[2];
    std::thread threads[2];
    for (int t = 0; t < 2; ++t)
        threads[t] = std::thread([&, t] {
            for (int i = 0; i < 500; ++i) {
                std::string text = format.format(start + hours(i * 7));
                if (format.parse(text) != start + hours(i * 7)) text = "errore";
                results[t].push_back(text);
            }
        });
    for (auto& thread : threads) thread.join();
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(results[0][i], copy.format(start + hours(i * 7)));
        EXPECT_EQ(results[1][i], results[0][i]);
    }
    EXPECT_EQ(results[0][1], "202601010800");
}

// ICU itself takes these and prints nothing (or everything after the quote).
TEST_F(DateFormatTest, RefusesABadPattern) {
    EXPECT_THROW(DateFormat("dd/MM/yyyy 'non chiuso"), std::invalid_argument);
    EXPECT_THROW(DateFormat("dd/MM/yyyy jj"), std::invalid_argument);
    EXPECT_THROW(DateFormat("pp:mm"), std::invalid_argument);
    EXPECT_EQ(DateFormat("dd 'di' MMMM yyyy").format(utc(2026y / December / 6, 10h)), "06 di dicembre 2026");
    EXPECT_EQ(DateFormat("HH'h'mm ''").format(utc(2026y / December / 6, 10h)), "11h00 '");
}
