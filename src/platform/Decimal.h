#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace torvane {

// An exact decimal number for money, quantities and statistics: a sign, up to 36
// significant digits and a count of decimals. No binary floating point in the arithmetic.
class Decimal {
public:
    Decimal() = default;  // zero

    // "12.5", "-0.30", "+3", "7.", ".5" with "." as the only separator and ASCII blanks
    // around; none for empty text, letters, two points, exponents or more than 36 digits
    // before the point. Decimals beyond what fits are rounded away.
    static std::optional<Decimal> parse(std::string_view text);
    // Through the shortest text that reads back as the same double, so 0.1 is 0.1.
    // Not-a-number and infinities give zero.
    static Decimal fromDouble(double value);
    static Decimal fromInteger(long long value);

    Decimal operator+(const Decimal& other) const;
    Decimal operator-(const Decimal& other) const;
    Decimal operator*(const Decimal& other) const;
    Decimal& operator+=(const Decimal& other) { return *this = *this + other; }
    Decimal negated() const;

    std::strong_ordering operator<=>(const Decimal& other) const;
    bool operator==(const Decimal& other) const { return (*this <=> other) == 0; }

    // Halves away from zero: 2.345 -> 2.35, -2.345 -> -2.35.
    Decimal rounded(int places) const;
    // Plain text without trailing zeros or exponent: "12.5", "0", "-3.25".
    std::string toString() const;
    // Rounded as above, with exactly `places` decimals: "12.50".
    std::string toFixed(int places) const;
    double toDouble() const;
    bool isZero() const { return coefficient_ == 0; }
    bool isNegative() const { return negative_ && coefficient_ != 0; }

private:
    using Coefficient = unsigned __int128;
    Decimal(bool negative, Coefficient coefficient, int scale);
    static std::optional<Decimal> parseText(std::string_view text, bool allowExponent);
    Decimal withScale(int scale) const;  // rounds when the scale goes down; saturates when it would overflow
    Decimal normalized() const;          // trailing zeros of the decimals dropped
    static Decimal addSigned(const Decimal& a, const Decimal& b);

    bool negative_ = false;
    Coefficient coefficient_ = 0;
    int scale_ = 0;  // number of decimals
};

}  // namespace torvane
