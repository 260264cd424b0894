#include <gtest/gtest.h>

#include <limits>
#include <thread>
#include <vector>

#include <unicode/locid.h>

#include "platform/NumberFormat.h"

using namespace torvane;

namespace {
Decimal d(std::string_view s) { return Decimal::parse(s).value(); }
}  // namespace

TEST(NumberFormat, LaysOutThePatternsOfTheScreens) {
    struct Case {
        const char* pattern;
        const char* value;
        const char* expected;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"#,##0.00", "1234567.891", "1.234.567,89"},
             {"#,##0.00", "1234", "1.234,00"},
             {"#,##0.00", "999", "999,00"},
             {"#,##0.00", "0", "0,00"},
             {"#,##0.00", ".5", "0,50"},
             {"#,##0.00", "-1234.5", "-1.234,50"},
             {"###,##0.00", "1234567.891", "1.234.567,89"},
             {"##,##0.00", "1234567.5", "1.234.567,50"},
             {"####0", "12345.6", "12346"},
             {"####0", "123456789", "123456789"},
             {"####0", "0.4", "0"},
             {"#,###,##0", "1234567", "1.234.567"},
             {"#,###,##0", "12", "12"},
             {"#,###,##0", "-1000", "-1.000"},
             {"##0.0", "1234.56", "1234,6"},
             {"##0.0", "0.04", "0,0"},
             {"##0.0", "7", "7,0"},
         })
        EXPECT_EQ(NumberFormat(c.pattern).format(d(c.value)), c.expected) << c.pattern << " " << c.value;
}

// The exact value is rounded by Decimal (its own tests have the halves); here what the
// pattern adds: a carry into a new group, doubles, more digits than a double holds, no sign on zero.
TEST(NumberFormat, RoundsHalvesAwayFromZeroOnTheExactValue) {
    NumberFormat money("#,##0.00");
    EXPECT_EQ(money.format(d("999.995")), "1.000,00");
    // Doubles go through their shortest text: 2.345 and 1.005 are just below the half in binary.
    EXPECT_EQ(money.format(2.345), "2,35");
    EXPECT_EQ(money.format(1.005), "1,01");
    EXPECT_EQ(money.format(0.1 + 0.2), "0,30");
    EXPECT_EQ(NumberFormat("##0.0").format(-2.25), "-2,3");
    EXPECT_EQ(NumberFormat("####0").format(-0.5), "-1");
    // More digits than a double holds.
    EXPECT_EQ(money.format(d("12345678901234567890.125")), "12.345.678.901.234.567.890,13");
    // What rounds to zero shows no sign.
    EXPECT_EQ(money.format(d("-0.004")), "0,00");
    EXPECT_EQ(NumberFormat("####0").format(-0.4), "0");
}

TEST(NumberFormat, IntegersAndThePlainDecimalStyle) {
    NumberFormat whole("#,##0");
    EXPECT_EQ(whole.format(std::numeric_limits<long long>::min()), "-9.223.372.036.854.775.808");
    EXPECT_EQ(whole.format(5), "5");
    EXPECT_EQ(NumberFormat("#,##0.00").format(42LL), "42,00");
    NumberFormat plain = NumberFormat::plainDecimal();
    EXPECT_EQ(plain.format(1234.5), "1234,5");
    EXPECT_EQ(plain.format(d("12.50")), "12,5");
    EXPECT_EQ(plain.format(3LL), "3");
    EXPECT_EQ(plain.format(0.1 + 0.2), "0,3");  // 0.30000000000000004 to 10 decimals
    EXPECT_EQ(plain.format(d("-0.12345678905")), "-0,1234567891");
    EXPECT_EQ(plain.format(d("1234567.000001")), "1234567,000001");
    EXPECT_EQ(plain.format(std::numeric_limits<double>::quiet_NaN()), "0");
}

TEST(NumberFormat, FollowsNeitherTheDefaultLocaleNorABadPattern) {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale before = icu::Locale::getDefault();
    icu::Locale::setDefault(icu::Locale("en", "US"), status);
    EXPECT_EQ(NumberFormat("#,##0.00").format(d("1234.5")), "1.234,50");
    EXPECT_EQ(NumberFormat("#,###,##0").format(d("1234567")), "1.234.567");  // built after the change
    icu::Locale::setDefault(before, status);
    EXPECT_THROW(NumberFormat("#,##0.00.0"), std::invalid_argument);
}

TEST(NumberFormat, CopiesShareOneFormatterAcrossThreads) {
    NumberFormat money("#,##0.00");
    NumberFormat copy = money;
    std::vector<std::string> results[2];
    std::thread threads[2];
    for (int t = 0; t < 2; ++t) {
        threads[t] = std::thread([&, t] {
            const NumberFormat& format = t == 0 ? money : copy;
            for (int i = 0; i < 1000; ++i) results[t].push_back(format.format(Decimal::fromInteger(i * 1001) * d("0.005")));
        });
    }
    for (auto& thread : threads) thread.join();
    for (int i = 0; i < 1000; ++i) {
        std::string expected = money.format(Decimal::fromInteger(i * 1001) * d("0.005"));
        EXPECT_EQ(results[0][i], expected);
        EXPECT_EQ(results[1][i], expected);
    }
    EXPECT_EQ(results[0][999], "5.000,00");  // 999 * 1001 * 0.005 = 4999.995
}
