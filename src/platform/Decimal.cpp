#include "platform/Decimal.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

#include <fmt/format.h>

namespace torvane {

namespace {

using Coefficient = unsigned __int128;

constexpr std::array<Coefficient, Decimal::maxDigits + 1> powersOfTen = [] {
    std::array<Coefficient, Decimal::maxDigits + 1> powers{};
    Coefficient value = 1;
    for (auto& power : powers) {
        power = value;
        value *= 10;
    }
    return powers;
}();

constexpr Coefficient limit = powersOfTen[Decimal::maxDigits - 1] * 10;  // coefficients stay below 10^36

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

}  // namespace

// A 256-bit magnitude: wide enough for the product of two coefficients and for a sum of
// two coefficients aligned to the finer scale, so only the final step ever rounds.
struct Decimal::Wide {
    std::array<std::uint64_t, 4> limbs{};  // least significant first

    Wide() = default;
    explicit Wide(Coefficient value) {
        limbs[0] = static_cast<std::uint64_t>(value);
        limbs[1] = static_cast<std::uint64_t>(value >> 64);
    }

    static Wide product(Coefficient a, Coefficient b) {
        const std::uint64_t x[2] = {static_cast<std::uint64_t>(a), static_cast<std::uint64_t>(a >> 64)};
        const std::uint64_t y[2] = {static_cast<std::uint64_t>(b), static_cast<std::uint64_t>(b >> 64)};
        Wide result;
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j) result.addAt(i + j, static_cast<Coefficient>(x[i]) * y[j]);
        return result;
    }

    void addAt(int index, Coefficient value) {
        Coefficient carry = value;
        for (int k = index; k < 4 && carry != 0; ++k) {
            Coefficient sum = static_cast<Coefficient>(limbs[k]) + static_cast<std::uint64_t>(carry);
            limbs[k] = static_cast<std::uint64_t>(sum);
            carry = (carry >> 64) + (sum >> 64);
        }
    }

    Wide plus(const Wide& other) const {
        Wide result;
        Coefficient carry = 0;
        for (int k = 0; k < 4; ++k) {
            Coefficient sum = static_cast<Coefficient>(limbs[k]) + other.limbs[k] + carry;
            result.limbs[k] = static_cast<std::uint64_t>(sum);
            carry = sum >> 64;
        }
        return result;
    }

    // Only called with other <= *this.
    Wide minus(const Wide& other) const {
        Wide result;
        std::uint64_t borrow = 0;
        for (int k = 0; k < 4; ++k) {
            std::uint64_t subtrahend = other.limbs[k] + borrow;
            bool under = subtrahend < borrow || limbs[k] < subtrahend;
            result.limbs[k] = limbs[k] - subtrahend;
            borrow = under ? 1 : 0;
        }
        return result;
    }

    std::strong_ordering compare(const Wide& other) const {
        for (int k = 3; k >= 0; --k)
            if (limbs[k] != other.limbs[k]) return limbs[k] <=> other.limbs[k];
        return std::strong_ordering::equal;
    }

    unsigned divideBy10() {  // returns the remainder
        Coefficient remainder = 0;
        for (int k = 3; k >= 0; --k) {
            Coefficient current = (remainder << 64) | limbs[k];
            limbs[k] = static_cast<std::uint64_t>(current / 10);
            remainder = current % 10;
        }
        return static_cast<unsigned>(remainder);
    }

    bool atLeast(Coefficient value) const { return limbs[2] != 0 || limbs[3] != 0 || low() >= value; }
    Coefficient low() const { return (static_cast<Coefficient>(limbs[1]) << 64) | limbs[0]; }
};

// Brings a wide result back into range: decimals past 36, or digits past 36, are dropped,
// rounding on the first dropped digit (halves away from zero needs nothing more).
Decimal Decimal::fromWide(bool negative, Wide magnitude, int scale) {
    unsigned lastDropped = 0;
    bool dropped = false;
    while (scale > 0 && (scale > maxScale || magnitude.atLeast(limit))) {
        lastDropped = magnitude.divideBy10();
        --scale;
        dropped = true;
    }
    Coefficient coefficient;
    if (magnitude.atLeast(limit)) {
        coefficient = limit - 1;  // no decimals left to give: saturate rather than wrap
    } else {
        coefficient = magnitude.low();
        if (dropped && lastDropped >= 5 && ++coefficient == limit) {
            if (scale > 0) {
                coefficient /= 10;
                --scale;
            } else {
                coefficient = limit - 1;
            }
        }
    }
    while (scale > 0 && coefficient % 10 == 0) {
        coefficient /= 10;
        --scale;
    }
    Decimal result;
    result.negative_ = negative && coefficient != 0;
    result.coefficient_ = coefficient;
    result.scale_ = scale;
    return result;
}

std::optional<Decimal> Decimal::parse(std::string_view text) { return parseText(text, false); }

std::optional<Decimal> Decimal::parseText(std::string_view text, bool allowExponent) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string digits;
    size_t fractionLength = 0;
    bool point = false, anyDigit = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            anyDigit = true;
            if (point) ++fractionLength;
            if (!digits.empty() || c != '0') digits += c;  // leading zeros only count for the scale
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return std::nullopt;
    long long exponent = 0;
    if (i < text.size()) {
        if (!allowExponent || (text[i] != 'e' && text[i] != 'E')) return std::nullopt;
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
        if (i >= text.size()) return std::nullopt;
        for (; i < text.size(); ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            exponent = std::min(exponent * 10 + (text[i] - '0'), 100000LL);  // far past any range
        }
        if (negativeExponent) exponent = -exponent;
    }
    if (digits.empty()) return Decimal();
    // `digits` has no leading zeros; the value is digits * 10^-scale.
    long long scale = static_cast<long long>(fractionLength) - exponent;
    long long length = static_cast<long long>(digits.size());
    if (length - scale > maxDigits) return std::nullopt;
    if (scale < 0) {
        digits.append(static_cast<size_t>(-scale), '0');
        length = static_cast<long long>(digits.size());
        scale = 0;
    }
    long long drop = std::max({length - maxDigits, scale - maxScale, 0LL});
    if (drop > length) return Decimal();  // smaller than half of the finest decimal
    bool roundUp = drop > 0 && digits[static_cast<size_t>(length - drop)] >= '5';
    digits.resize(static_cast<size_t>(length - drop));
    scale -= drop;
    Coefficient coefficient = 0;
    for (char c : digits) coefficient = coefficient * 10 + static_cast<unsigned>(c - '0');
    Wide magnitude(coefficient);
    if (roundUp) magnitude.addAt(0, 1);
    return fromWide(negative, magnitude, static_cast<int>(scale));
}

Decimal Decimal::fromDouble(double value) {
    if (!std::isfinite(value)) return Decimal();
    if (auto parsed = parseText(fmt::format("{}", value), true)) return *parsed;
    // Only a magnitude past 36 digits is refused.
    return fromWide(value < 0, Wide(limit - 1), 0);
}

Decimal Decimal::fromInteger(long long value) {
    bool negative = value < 0;
    // -(value + 1) cannot overflow, even for the smallest long long.
    Coefficient magnitude = negative ? static_cast<Coefficient>(-(value + 1)) + 1 : static_cast<Coefficient>(value);
    return fromWide(negative, Wide(magnitude), 0);
}

Decimal Decimal::negated() const {
    Decimal result = *this;
    result.negative_ = !negative_ && coefficient_ != 0;
    return result;
}

Decimal Decimal::abs() const {
    Decimal result = *this;
    result.negative_ = false;
    return result;
}

Decimal Decimal::addSigned(const Decimal& a, const Decimal& b) {
    int scale = std::max(a.scale_, b.scale_);
    Wide left = Wide::product(a.coefficient_, powersOfTen[static_cast<size_t>(scale - a.scale_)]);
    Wide right = Wide::product(b.coefficient_, powersOfTen[static_cast<size_t>(scale - b.scale_)]);
    if (a.isNegative() == b.isNegative()) return fromWide(a.isNegative(), left.plus(right), scale);
    if (left.compare(right) >= 0) return fromWide(a.isNegative(), left.minus(right), scale);
    return fromWide(b.isNegative(), right.minus(left), scale);
}

Decimal Decimal::operator+(const Decimal& other) const { return addSigned(*this, other); }
Decimal Decimal::operator-(const Decimal& other) const { return addSigned(*this, other.negated()); }

Decimal Decimal::operator*(const Decimal& other) const {
    return fromWide(isNegative() != other.isNegative(), Wide::product(coefficient_, other.coefficient_),
                    scale_ + other.scale_);
}

std::strong_ordering Decimal::operator<=>(const Decimal& other) const {
    auto sign = [](const Decimal& d) { return d.isZero() ? 0 : d.isNegative() ? -1 : 1; };
    int mine = sign(*this), theirs = sign(other);
    if (mine != theirs || mine == 0) return mine <=> theirs;
    int scale = std::max(scale_, other.scale_);
    Wide left = Wide::product(coefficient_, powersOfTen[static_cast<size_t>(scale - scale_)]);
    Wide right = Wide::product(other.coefficient_, powersOfTen[static_cast<size_t>(scale - other.scale_)]);
    return mine > 0 ? left.compare(right) : right.compare(left);
}

Decimal Decimal::rounded(int places) const {
    places = std::max(places, 0);
    if (scale_ <= places) return *this;
    Coefficient divisor = powersOfTen[static_cast<size_t>(scale_ - places)];
    Coefficient quotient = coefficient_ / divisor;
    Coefficient remainder = coefficient_ % divisor;
    if (remainder >= divisor - remainder) ++quotient;  // remainder * 2 >= divisor, without overflow
    return fromWide(isNegative(), Wide(quotient), places);
}

std::string Decimal::toString() const {
    std::string digits;  // from the last digit back
    for (Coefficient c = coefficient_; c != 0; c /= 10) digits.push_back(static_cast<char>('0' + int(c % 10)));
    size_t scale = static_cast<size_t>(scale_);
    if (digits.size() <= scale) digits.resize(scale + 1, '0');
    std::string text = isNegative() ? "-" : "";
    text.append(digits.rbegin(), digits.rend() - static_cast<std::ptrdiff_t>(scale));
    if (scale > 0) {
        text.push_back('.');
        text.append(digits.rend() - static_cast<std::ptrdiff_t>(scale), digits.rend());
    }
    return text;
}

std::string Decimal::toFixed(int places) const {
    places = std::max(places, 0);
    std::string text = rounded(places).toString();
    size_t point = text.find('.');
    int decimals = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
    if (places > 0 && point == std::string::npos) text += '.';
    text.append(static_cast<size_t>(places - decimals), '0');
    return text;
}

// from_chars, not strtod: a process locale with a decimal comma must not change the result.
double Decimal::toDouble() const {
    std::string text = toString();
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace torvane
