#include <gtest/gtest.h>

#include "platform/Format.h"

using torvane::format;
using torvane::stringByPaddingLeft;

namespace {

using Rows = std::initializer_list<std::pair<std::string, const char*>>;

void expectRows(Rows rows) {
    for (const auto& [written, expected] : rows) EXPECT_EQ(written, expected);
}

}  // namespace

TEST(Format, ObjectConversionTakesTextsAndNumbers) {
    expectRows({{format("%@ %@", "Rossi", "Mario"), "Rossi Mario"}, {format("%@ x", 12), "12 x"},
                {format("%@", 12.5), "12.5"}, {format("%@", 3.0), "3"},
                {format("%@", std::optional<std::string>()), "(null)"},
                {format("[%-20@]", "abc"), "[abc                 ]"}});
}

// A real given to %d is truncated, an integer given to %f is widened.
TEST(Format, NumericConversionsAsWritten) {
    expectRows({{format("%05d", 42), "00042"}, {format("%3d", 7), "  7"}, {format("%8.2f", 3.14159), "    3.14"},
                {format("%+3.2f", 2.5), "+2.50"}, {format("%+3.2f", -2.5), "-2.50"}, {format("%d", 2.9), "2"},
                {format("%.2f", 3), "3.00"}, {format("NEW%04d", 7), "NEW0007"}, {format("%ld-%lu", 5L, 6UL), "5-6"}});
}

TEST(Format, PercentSignsMissingAndExtraArguments) {
    expectRows({{format("100%%"), "100%"}, {format("%@-%@", "a"), "a-"}, {format("%@", "a", "b"), "a"},
                {format("fine %"), "fine %"}});
}

TEST(Format, PaddingLeftRightAlignsAndNeverCuts) {
    // Widths count characters, not bytes ("è").
    expectRows({{stringByPaddingLeft(std::string("ab"), 5), "   ab"}, {stringByPaddingLeft(std::nullopt, 3), "   "},
                {stringByPaddingLeft(std::string("abcdef"), 3), "abcdef"},
                {stringByPaddingLeft(std::string("ab"), 4, "0"), "00ab"},
                {stringByPaddingLeft(std::string("è"), 3), "  è"},
                {stringByPaddingLeft(std::nullopt, 3, "*"), "***"}});
}
