#include <gtest/gtest.h>

#include <clocale>
#include <limits>

#include "platform/Decimal.h"

using namespace torvane;

namespace {
Decimal d(std::string_view s) { return Decimal::parse(s).value(); }
std::string text(std::string_view s) { return d(s).toString(); }
using Rows = std::initializer_list<std::pair<std::string, std::string>>;
// Each input, parsed and written back, reads as its expected text.
void expectTexts(Rows rows) {
    for (const auto& [input, expected] : rows) EXPECT_EQ(text(input), expected) << input;
}
}  // namespace

TEST(Decimal, ParsesThePlainFormsAndRefusesEverythingElse) {
    expectTexts({{"12.50", "12.5"}, {" -0.30 ", "-0.3"}, {"\t+3\n", "3"}, {"7.", "7"}, {".5", "0.5"}, {"-0", "0"},
                 {"-0.000", "0"}, {"000120", "120"}, {"0.0012", "0.0012"},
                 {std::string(36, '9'), std::string(36, '9')}});
    EXPECT_FALSE(d("-0").isNegative());
    for (const char* bad : {"", " ", "-", "+", ".", "-.", "1.2.3", "12,5", "1e3", "1E3", "abc", "12abc", "1 2",
                            "--1", "+-1", "0x10", "inf", "nan", "١٢"})
        EXPECT_FALSE(Decimal::parse(bad)) << bad;
    EXPECT_FALSE(Decimal::parse(std::string(37, '9')));
    EXPECT_FALSE(Decimal::parse("1" + std::string(36, '0') + ".5"));
}

TEST(Decimal, ParsingRoundsDecimalsThatDoNotFit) {
    const std::string z35(35, '0'), n35(35, '9');
    expectTexts({{"0." + std::string(40, '3'), "0." + std::string(36, '3')}, {"0." + z35 + "15", "0." + z35 + "2"},
                 {"0." + z35 + "05", "0." + z35 + "1"},  // a half
                 {"0." + z35 + "04999", "0"}, {"0." + z35 + "009", "0"}, {"0." + z35 + "5", "0." + z35 + "5"},
                 // 35 nines before the point, then .96: rounding carries into a new digit.
                 {n35 + ".96", "1" + z35}, {"-" + n35 + ".94", "-" + n35 + ".9"}});
}

TEST(Decimal, ArithmeticIsExact) {
    const std::pair<Decimal, const char*> results[] = {
        {d("0.1") + d("0.2"), "0.3"},     {d("10") - d("10.01"), "-0.01"}, {d("-5") + d("5"), "0"},
        {d("-1.25") - d("-1.5"), "0.25"}, {d("12.34") * d("3"), "37.02"},  {d("-1.5") * d("-1.5"), "2.25"},
        {d("-1.5") * d("2"), "-3"},       {d("0") * d("-7"), "0"}};
    for (const auto& [result, expected] : results) EXPECT_EQ(result.toString(), expected);
    EXPECT_FALSE((d("-5") + d("5")).isNegative());
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
    struct Row {
        const char* value;
        int places;
        const char* rounded;  // by rounded(places)
        const char* fixed;    // by toFixed(places); nullptr: not asked
    };
    for (const Row& r : std::initializer_list<Row>{
             {"2.345", 2, "2.35", "2.35"}, {"-2.345", 2, "-2.35", "-2.35"}, {"2.344", 2, "2.34", nullptr},
             {"2.3449", 2, "2.34", nullptr},  // no rounding in two steps
             {"2.5", 0, "3", "3"}, {"-2.5", 0, "-3", nullptr}, {"2.5", -1, "3", nullptr}, {"1.2", 5, "1.2", "1.20000"},
             {"0.005", 2, "0.01", "0.01"}, {"12.5", 2, "12.5", "12.50"}, {"3", 2, "3", "3.00"},
             {"-0.004", 2, "0", "0.00"}, {"-0.005", 2, "-0.01", "-0.01"}, {"9.995", 2, "10", "10.00"},
             {"1.25", 0, "1", "1"}, {"-7.5", 0, "-8", "-8"}}) {
        SCOPED_TRACE(std::string(r.value) + " to " + std::to_string(r.places));
        EXPECT_EQ(d(r.value).rounded(r.places).toString(), r.rounded);
        if (r.fixed) EXPECT_EQ(d(r.value).toFixed(r.places), r.fixed);
    }
    EXPECT_EQ(d(std::string(35, '9') + ".5").toFixed(0), "1" + std::string(35, '0'));
    EXPECT_EQ(d("0.1").toFixed(40), "0.1" + std::string(39, '0'));
}
