#include <gtest/gtest.h>

#include <clocale>
#include <limits>

#include "platform/Decimal.h"

using namespace torvane;

namespace {
Decimal d(std::string_view s) { return Decimal::parse(s).value(); }
std::string text(std::string_view s) { return d(s).toString(); }
}  // namespace

TEST(Decimal, ParsesThePlainFormsAndRefusesEverythingElse) {
    EXPECT_EQ(text("12.50"), "12.5");
    EXPECT_EQ(text(" -0.30 "), "-0.3");
    EXPECT_EQ(text("\t+3\n"), "3");
    EXPECT_EQ(text("7."), "7");
    EXPECT_EQ(text(".5"), "0.5");
    EXPECT_EQ(text("-0"), "0");
    EXPECT_EQ(text("-0.000"), "0");
    EXPECT_FALSE(d("-0").isNegative());
    EXPECT_EQ(text("000120"), "120");
    EXPECT_EQ(text("0.0012"), "0.0012");
    for (const char* bad : {"", " ", "-", "+", ".", "-.", "1.2.3", "12,5", "1e3", "1E3", "abc", "12abc", "1 2",
                            "--1", "+-1", "0x10", "inf", "nan", "١٢"})
        EXPECT_FALSE(Decimal::parse(bad)) << bad;
    EXPECT_EQ(text(std::string(36, '9')), std::string(36, '9'));
    EXPECT_FALSE(Decimal::parse(std::string(37, '9')));
    EXPECT_FALSE(Decimal::parse("1" + std::string(36, '0') + ".5"));
}

TEST(Decimal, ParsingRoundsDecimalsThatDoNotFit) {
    EXPECT_EQ(text("0." + std::string(40, '3')), "0." + std::string(36, '3'));
    EXPECT_EQ(text("0." + std::string(35, '0') + "15"), "0." + std::string(35, '0') + "2");
    EXPECT_EQ(text("0." + std::string(36, '0') + "5"), "0." + std::string(35, '0') + "1");  // a half
    EXPECT_EQ(text("0." + std::string(36, '0') + "4999"), "0");
    EXPECT_EQ(text("0." + std::string(37, '0') + "9"), "0");
    EXPECT_EQ(text("0." + std::string(35, '0') + "5"), "0." + std::string(35, '0') + "5");
    // 35 nines before the point, then .96: rounding carries into a new digit.
    EXPECT_EQ(text(std::string(35, '9') + ".96"), "1" + std::string(35, '0'));
    EXPECT_EQ(text("-" + std::string(35, '9') + ".94"), "-" + std::string(35, '9') + ".9");
}

TEST(Decimal, ArithmeticIsExact) {
    EXPECT_EQ((d("0.1") + d("0.2")).toString(), "0.3");
    EXPECT_EQ((d("10") - d("10.01")).toString(), "-0.01");
    EXPECT_EQ((d("-5") + d("5")).toString(), "0");
    EXPECT_FALSE((d("-5") + d("5")).isNegative());
    EXPECT_EQ((d("-1.25") - d("-1.5")).toString(), "0.25");
    EXPECT_EQ((d("12.34") * d("3")).toString(), "37.02");
    EXPECT_EQ((d("-1.5") * d("-1.5")).toString(), "2.25");
    EXPECT_EQ((d("-1.5") * d("2")).toString(), "-3");
    EXPECT_EQ((d("0") * d("-7")).toString(), "0");
    EXPECT_EQ(d("-3.25").negated().toString(), "3.25");
    EXPECT_EQ(d("-3.25").abs().toString(), "3.25");
    EXPECT_FALSE(Decimal().negated().isNegative());
    Decimal total;
    for (int i = 0; i < 1000; ++i) total += d("0.01");
    EXPECT_EQ(total.toString(), "10");
    // A sum that needs both ends: 35 digits before the point and 1 after fit exactly.
    EXPECT_EQ((d(std::string(35, '1')) + d("0.5")).toString(), std::string(35, '1') + ".5");
}

TEST(Decimal, ComparesExactlyWhateverTheMagnitudes) {
    EXPECT_EQ(d("1.50"), d("1.5"));
    EXPECT_EQ(d("-0"), Decimal());
    EXPECT_LT(d("-2"), d("0.001"));
    EXPECT_LT(d("-2"), d("-1.999"));
    EXPECT_GT(d("100"), d("99.999"));
    EXPECT_GT(d("0.000001"), Decimal());
    // Numbers of 36 digits that differ only in the last decimal.
    std::string nines(35, '9');
    EXPECT_LT(d(nines + ".8"), d(nines + ".9"));
    EXPECT_NE(d(nines + ".8"), d(nines + ".9"));
    EXPECT_GT(d("-" + nines + ".8"), d("-" + nines + ".9"));
    EXPECT_LT(d("0." + std::string(35, '0') + "1"), d("0." + std::string(35, '0') + "2"));
    EXPECT_GT(d(nines), d("0." + std::string(35, '9')));
}

TEST(Decimal, LargeResultsGiveUpDecimalsThenSaturate) {
    Decimal big = d("123456789012345678.123456789012345678");
    // Exactly 15241578753238836558451457271757357.0711781782837982045279682997652796.
    EXPECT_EQ((big * big).toString(), "15241578753238836558451457271757357.1");
    Decimal largest = d(std::string(36, '9'));
    EXPECT_EQ((largest + d("1")).toString(), std::string(36, '9'));
    EXPECT_EQ((largest * largest).toString(), std::string(36, '9'));
    EXPECT_EQ((largest.negated() * largest).toString(), "-" + std::string(36, '9'));
    EXPECT_EQ((largest.negated() - largest).toString(), "-" + std::string(36, '9'));
    // The product of the finest decimals rounds to the finest scale.
    Decimal tiny = d("0." + std::string(17, '0') + "5");  // 5e-18
    EXPECT_EQ((tiny * tiny).toString(), "0." + std::string(34, '0') + "25");
    EXPECT_EQ((tiny * d("0.0000000000000000001")).toString(), "0." + std::string(35, '0') + "1");
    EXPECT_TRUE((tiny * d("0.00000000000000000001")).isZero());  // 5e-38 rounds to nothing
}

TEST(Decimal, ConvertsFromAndToBinaryNumbers) {
    EXPECT_EQ(Decimal::fromDouble(0.1).toString(), "0.1");
    EXPECT_EQ(Decimal::fromDouble(-2.345).toString(), "-2.345");
    EXPECT_EQ(Decimal::fromDouble(1e-7).toString(), "0.0000001");
    EXPECT_EQ(Decimal::fromDouble(1.5e20).toString(), "150000000000000000000");
    EXPECT_EQ(Decimal::fromDouble(-0.0).toString(), "0");
    EXPECT_TRUE(Decimal::fromDouble(1e-300).isZero());
    EXPECT_EQ(Decimal::fromDouble(1e300).toString(), std::string(36, '9'));
    EXPECT_EQ(Decimal::fromDouble(-1e300).toString(), "-" + std::string(36, '9'));
    EXPECT_TRUE(Decimal::fromDouble(std::numeric_limits<double>::quiet_NaN()).isZero());
    EXPECT_TRUE(Decimal::fromDouble(-std::numeric_limits<double>::infinity()).isZero());
    EXPECT_EQ(Decimal::fromInteger(std::numeric_limits<long long>::min()).toString(), "-9223372036854775808");
    EXPECT_EQ(Decimal::fromInteger(std::numeric_limits<long long>::max()).toString(), "9223372036854775807");
    EXPECT_EQ(d("12.5").toDouble(), 12.5);
    EXPECT_EQ(d("-0.1").toDouble(), -0.1);
    // The process locale (a decimal comma) must not change the conversion.
    const char* before = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = before ? before : "C";
    if (std::setlocale(LC_NUMERIC, "it_IT.UTF-8")) {
        EXPECT_EQ(d("12.5").toDouble(), 12.5);
        EXPECT_EQ(Decimal::fromDouble(12.5).toString(), "12.5");
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(Decimal, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(d("2.345").rounded(2).toString(), "2.35");
    EXPECT_EQ(d("-2.345").rounded(2).toString(), "-2.35");
    EXPECT_EQ(d("2.344").rounded(2).toString(), "2.34");
    EXPECT_EQ(d("2.3449").rounded(2).toString(), "2.34");  // no rounding in two steps
    EXPECT_EQ(d("2.5").rounded(0).toString(), "3");
    EXPECT_EQ(d("-2.5").rounded(0).toString(), "-3");
    EXPECT_EQ(d("2.5").rounded(-1).toString(), "3");
    EXPECT_EQ(d("1.2").rounded(5).toString(), "1.2");
    EXPECT_EQ(d("0.005").toFixed(2), "0.01");
    EXPECT_EQ(d("12.5").toFixed(2), "12.50");
    EXPECT_EQ(d("3").toFixed(2), "3.00");
    EXPECT_EQ(d("-0.004").toFixed(2), "0.00");
    EXPECT_EQ(d("-0.005").toFixed(2), "-0.01");
    EXPECT_EQ(d("9.995").toFixed(2), "10.00");
    EXPECT_EQ(d("1.25").toFixed(0), "1");
    EXPECT_EQ(d("-7.5").toFixed(0), "-8");
    EXPECT_EQ(d(std::string(35, '9') + ".5").toFixed(0), "1" + std::string(35, '0'));
    EXPECT_EQ(d("0.1").toFixed(40), "0.1" + std::string(39, '0'));
}
