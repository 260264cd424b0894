#include <gtest/gtest.h>

#include "platform/Format.h"

using torvane::format;
using torvane::stringByPaddingLeft;

TEST(Format, ObjectConversionTakesTextsAndNumbers) {
    EXPECT_EQ(format("%@ %@", "Rossi", "Mario"), "Rossi Mario");
    EXPECT_EQ(format("%@ x", 12), "12 x");
    EXPECT_EQ(format("%@", 12.5), "12.5");
    EXPECT_EQ(format("%@", 3.0), "3");
    EXPECT_EQ(format("%@", std::optional<std::string>()), "(null)");
    EXPECT_EQ(format("[%-20@]", "abc"), "[abc                 ]");
}

TEST(Format, NumericConversionsAsWritten) {
    EXPECT_EQ(format("%05d", 42), "00042");
    EXPECT_EQ(format("%3d", 7), "  7");
    EXPECT_EQ(format("%8.2f", 3.14159), "    3.14");
    EXPECT_EQ(format("%+3.2f", 2.5), "+2.50");
    EXPECT_EQ(format("%+3.2f", -2.5), "-2.50");
    EXPECT_EQ(format("%d", 2.9), "2");       // a real given to %d is truncated
    EXPECT_EQ(format("%.2f", 3), "3.00");    // an integer given to %f is widened
    EXPECT_EQ(format("NEW%04d", 7), "NEW0007");
    EXPECT_EQ(format("%ld-%lu", 5L, 6UL), "5-6");
}

TEST(Format, PercentSignsMissingAndExtraArguments) {
    EXPECT_EQ(format("100%%"), "100%");
    EXPECT_EQ(format("%@-%@", "a"), "a-");
    EXPECT_EQ(format("%@", "a", "b"), "a");
    EXPECT_EQ(format("fine %"), "fine %");
}

TEST(Format, PaddingLeftRightAlignsAndNeverCuts) {
    EXPECT_EQ(stringByPaddingLeft(std::string("ab"), 5), "   ab");
    EXPECT_EQ(stringByPaddingLeft(std::nullopt, 3), "   ");
    EXPECT_EQ(stringByPaddingLeft(std::string("abcdef"), 3), "abcdef");
    EXPECT_EQ(stringByPaddingLeft(std::string("ab"), 4, "0"), "00ab");
    // Widths count characters, not bytes.
    EXPECT_EQ(stringByPaddingLeft(std::string("è"), 3), "  è");
}
