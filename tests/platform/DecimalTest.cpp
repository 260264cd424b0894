#include <gtest/gtest.h>

#include "platform/Decimal.h"
#include "platform/IsoDate.h"

using namespace torvane;

namespace {
std::string text(std::string_view s) { return Decimal::parse(s).value().toString(); }
}  // namespace

TEST(Decimal, ParsesThePlainFormsAndRefusesEverythingElse) {
    EXPECT_EQ(text("12.50"), "12.5");
    EXPECT_EQ(text(" -0.30 "), "-0.3");
    EXPECT_EQ(text("+3"), "3");
    EXPECT_EQ(text("7."), "7");
    EXPECT_EQ(text(".5"), "0.5");
    EXPECT_EQ(text("-0"), "0");
    EXPECT_EQ(text("000120"), "120");
    for (const char* bad : {"", " ", "-", ".", "1.2.3", "12,5", "1e3", "abc", "12abc", "1 2", "--1"})
        EXPECT_FALSE(Decimal::parse(bad)) << bad;
    EXPECT_FALSE(Decimal::parse(std::string(40, '9')));
    // Decimals beyond what fits are rounded, not refused.
    EXPECT_EQ(text("0." + std::string(40, '3')), "0." + std::string(36, '3'));
}

TEST(Decimal, ArithmeticIsExact) {
    auto d = [](const char* s) { return Decimal::parse(s).value(); };
    EXPECT_EQ((d("0.1") + d("0.2")).toString(), "0.3");
    EXPECT_EQ((d("10") - d("10.01")).toString(), "-0.01");
    EXPECT_EQ((d("12.34") * d("3")).toString(), "37.02");
    EXPECT_EQ((d("-1.5") * d("-1.5")).toString(), "2.25");
    EXPECT_EQ(d("1.50"), d("1.5"));
    EXPECT_LT(d("-2"), d("0.001"));
    EXPECT_GT(d("100"), d("99.999"));
    EXPECT_EQ(Decimal::fromDouble(0.1).toString(), "0.1");
    EXPECT_EQ(Decimal::fromDouble(1e-7).toString(), "0.0000001");
    EXPECT_EQ(Decimal::fromDouble(1.5e20).toString(), "150000000000000000000");
    EXPECT_TRUE(Decimal::fromDouble(std::numeric_limits<double>::quiet_NaN()).isZero());
    EXPECT_EQ(Decimal::fromInteger(std::numeric_limits<long long>::min()).toString(), "-9223372036854775808");
    // A product too large for every decimal gives decimals up instead of wrapping.
    Decimal big = d("123456789012345678.123456789012345678");
    EXPECT_GT(big * big, d("15241578753238836000000000000000000"));
}

TEST(Decimal, RoundsHalvesAwayFromZero) {
    auto d = [](const char* s) { return Decimal::parse(s).value(); };
    EXPECT_EQ(d("2.345").rounded(2).toString(), "2.35");
    EXPECT_EQ(d("-2.345").rounded(2).toString(), "-2.35");
    EXPECT_EQ(d("2.344").rounded(2).toString(), "2.34");
    EXPECT_EQ(d("0.005").toFixed(2), "0.01");
    EXPECT_EQ(d("12.5").toFixed(2), "12.50");
    EXPECT_EQ(d("3").toFixed(2), "3.00");
    EXPECT_EQ(d("-0.004").toFixed(2), "0.00");
    EXPECT_EQ(d("9.995").toFixed(2), "10.00");
    EXPECT_EQ(d("1.25").toFixed(0), "1");
}

TEST(IsoDate, WritesUtcWithMillisecondsAndReadsZonesBack) {
    auto t = parseIsoDate("2026-12-06T10:15:30.123Z");
    ASSERT_TRUE(t);
    EXPECT_EQ(isoDateString(*t), "2026-12-06T10:15:30.123Z");
    EXPECT_EQ(isoDateString(parseIsoDate("2026-12-06T11:15:30+01:00").value()), "2026-12-06T10:15:30.000Z");
    EXPECT_EQ(isoDateString(parseIsoDate("1969-12-31T23:59:59.500Z").value()), "1969-12-31T23:59:59.500Z");
    EXPECT_EQ(parseIsoDate("2026-12-06T10:15:30"), parseIsoDate("2026-12-06T10:15:30Z"));
    for (const char* bad : {"", "2026-12-06", "2026-13-01T00:00:00Z", "2026-12-06T10:15:30X", "2026-12-06T10:15:30.Z",
                            "2026/12/06T10:15:30Z", "2026-12-06T10:15:30+0100"})
        EXPECT_FALSE(parseIsoDate(bad)) << bad;
}
