#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace torvane {

// An exact decimal number for money, quantities and statistics: a sign, up to 36
// significant digits and up to 36 decimals. No binary floating point in the arithmetic.
// Values are kept without trailing decimal zeros, so equal numbers have equal parts.
class Decimal {
public:
    static constexpr int maxDigits = 36;
    static constexpr int maxScale = 36;

    Decimal() = default;  // zero

    // "12.5", "-0.30", "+3", "7.", ".5" with "." as the only separator and ASCII blanks
    // around; none for empty text, letters, two points, exponents or more than 36 digits
    // before the point. Decimals beyond what fits are rounded (halves away from zero).
    static std::optional<Decimal> parse(std::string_view text);
    // Through the shortest text that reads back as the same double, so 0.1 is 0.1.
    // Not-a-number and infinities give zero; magnitudes of 10^36 and more saturate.
    static Decimal fromDouble(double value);
    static Decimal fromInteger(long long value);

    // Exact while the result fits in 36 digits; past that the last decimals are rounded
    // away, and a result that has no decimals left to give saturates at ±(10^36 - 1).
    Decimal operator+(const Decimal& other) const;
    Decimal operator-(const Decimal& other) const;
    Decimal operator*(const Decimal& other) const;
    Decimal& operator+=(const Decimal& other) { return *this = *this + other; }
    Decimal negated() const;
    Decimal abs() const;

    // Exact, whatever the magnitudes: 1.50 == 1.5.
    std::strong_ordering operator<=>(const Decimal& other) const;
    bool operator==(const Decimal& other) const { return (*this <=> other) == 0; }

    // Halves away from zero: 2.345 -> 2.35, -2.345 -> -2.35. Negative places count as 0.
    Decimal rounded(int places) const;
    // Plain text without trailing zeros or exponent: "12.5", "0", "-3.25".
    std::string toString() const;
    // Rounded as above, with exactly `places` decimals: "12.50".
    std::string toFixed(int places) const;
    double toDouble() const;
    bool isZero() const { return coefficient_ == 0; }
    bool isNegative() const { return negative_ && coefficient_ != 0; }
    int scale() const { return scale_; }  // decimals after the trailing zeros are dropped

private:
    using Coefficient = unsigned __int128;
    struct Wide;
    static Decimal fromWide(bool negative, Wide magnitude, int scale);
    static std::optional<Decimal> parseText(std::string_view text, bool allowExponent);
    static Decimal addSigned(const Decimal& a, const Decimal& b);

    bool negative_ = false;
    Coefficient coefficient_ = 0;  // below 10^36
    int scale_ = 0;                // number of decimals, 0..36
};

}  // namespace torvane
