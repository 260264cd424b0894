#include "platform/Decimal.h"

#include <cmath>

#include <fmt/format.h>

namespace torvane {

namespace {

using Coefficient = unsigned __int128;
constexpr int maxDigits = 36;

Coefficient powerOfTen(int exponent) {
    Coefficient value = 1;
    for (int i = 0; i < exponent; ++i) value *= 10;
    return value;
}

const Coefficient limit = powerOfTen(maxDigits);  // coefficients stay below 10^36

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

Decimal::Decimal(bool negative, Coefficient coefficient, int scale)
    : negative_(negative && coefficient != 0), coefficient_(coefficient), scale_(scale) {}

std::optional<Decimal> Decimal::parse(std::string_view text) { return parseText(text, false); }

std::optional<Decimal> Decimal::parseText(std::string_view text, bool allowExponent) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string integerDigits, fractionDigits;
    bool point = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') (point ? fractionDigits : integerDigits) += c;
        else if (c == '.' && !point) point = true;
        else break;
    }
    if (integerDigits.empty() && fractionDigits.empty()) return std::nullopt;
    int exponent = 0;
    if (i < text.size()) {
        if (!allowExponent || (text[i] != 'e' && text[i] != 'E')) return std::nullopt;
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
        if (i >= text.size()) return std::nullopt;
        for (; i < text.size(); ++i) {
            if (text[i] < '0' || text[i] > '9' || exponent > 1000) return std::nullopt;
            exponent = exponent * 10 + (text[i] - '0');
        }
        if (negativeExponent) exponent = -exponent;
    }
    // Move the point by the exponent.
    std::string digits = integerDigits + fractionDigits;
    int scale = static_cast<int>(fractionDigits.size()) - exponent;
    if (scale < 0) {
        digits.append(static_cast<size_t>(-scale), '0');
        scale = 0;
    }
    size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return Decimal(false, 0, 0);
    digits.erase(0, first);
    int integerLength = static_cast<int>(digits.size()) - scale;
    if (integerLength > maxDigits) return std::nullopt;
    // Too many decimals for the coefficient: round the tail away.
    bool roundUp = false;
    while (static_cast<int>(digits.size()) > maxDigits) {
        if (static_cast<int>(digits.size()) == maxDigits + 1) roundUp = digits.back() >= '5';
        digits.pop_back();
        --scale;
    }
    Coefficient coefficient = 0;
    for (char c : digits) coefficient = coefficient * 10 + static_cast<unsigned>(c - '0');
    if (scale < 0) {  // every digit left was before the point
        coefficient *= powerOfTen(-scale);
        scale = 0;
    }
    if (roundUp) ++coefficient;
    return Decimal(negative, coefficient, scale);
}

Decimal Decimal::fromDouble(double value) {
    if (!std::isfinite(value)) return Decimal();
    return parseText(fmt::format("{}", value), true).value_or(Decimal());
}

Decimal Decimal::fromInteger(long long value) {
    bool negative = value < 0;
    // -(value + 1) cannot overflow, even for the smallest long long.
    Coefficient magnitude = negative ? static_cast<Coefficient>(-(value + 1)) + 1 : static_cast<Coefficient>(value);
    return Decimal(negative, magnitude, 0);
}

Decimal Decimal::negated() const { return Decimal(!negative_, coefficient_, scale_); }

Decimal Decimal::normalized() const {
    Decimal result = *this;
    while (result.scale_ > 0 && result.coefficient_ % 10 == 0) {
        result.coefficient_ /= 10;
        --result.scale_;
    }
    return result;
}

Decimal Decimal::withScale(int scale) const {
    if (scale == scale_) return *this;
    if (scale < scale_) {
        Coefficient divisor = powerOfTen(scale_ - scale);
        Coefficient quotient = coefficient_ / divisor;
        Coefficient remainder = coefficient_ % divisor;
        if (remainder * 2 >= divisor) ++quotient;
        return Decimal(negative_, quotient, scale);
    }
    Coefficient factor = powerOfTen(scale - scale_);
    if (coefficient_ != 0 && coefficient_ >= limit / factor) return Decimal(negative_, limit - 1, scale_);
    return Decimal(negative_, coefficient_ * factor, scale);
}

Decimal Decimal::addSigned(const Decimal& left, const Decimal& right) {
    Decimal a = left.normalized(), b = right.normalized();
    int scale = std::max(a.scale_, b.scale_);
    // Align; when a coefficient would not fit, give up decimals instead.
    while (scale > 0) {
        Coefficient factorA = powerOfTen(scale - a.scale_), factorB = powerOfTen(scale - b.scale_);
        if ((a.coefficient_ == 0 || a.coefficient_ < limit / factorA / 10) &&
            (b.coefficient_ == 0 || b.coefficient_ < limit / factorB / 10))
            break;
        --scale;
    }
    a = a.withScale(scale);
    b = b.withScale(scale);
    if (a.negative_ == b.negative_) return Decimal(a.negative_, a.coefficient_ + b.coefficient_, scale);
    if (a.coefficient_ >= b.coefficient_) return Decimal(a.negative_, a.coefficient_ - b.coefficient_, scale);
    return Decimal(b.negative_, b.coefficient_ - a.coefficient_, scale);
}

Decimal Decimal::operator+(const Decimal& other) const { return addSigned(*this, other); }
Decimal Decimal::operator-(const Decimal& other) const { return addSigned(*this, other.negated()); }

Decimal Decimal::operator*(const Decimal& other) const {
    Decimal a = normalized(), b = other.normalized();
    bool negative = a.negative_ != b.negative_;
    // Give up decimals of the finer operand until the product fits.
    while (a.coefficient_ != 0 && b.coefficient_ != 0 && a.coefficient_ > (limit - 1) / b.coefficient_) {
        if (a.scale_ == 0 && b.scale_ == 0) return Decimal(negative, limit - 1, 0);
        Decimal& finer = a.scale_ >= b.scale_ ? a : b;
        finer = finer.withScale(finer.scale_ - 1);
    }
    return Decimal(negative, a.coefficient_ * b.coefficient_, a.scale_ + b.scale_).normalized();
}

std::strong_ordering Decimal::operator<=>(const Decimal& other) const {
    Decimal difference = *this - other;
    if (difference.isZero()) return std::strong_ordering::equal;
    return difference.negative_ ? std::strong_ordering::less : std::strong_ordering::greater;
}

Decimal Decimal::rounded(int places) const {
    if (places < 0) places = 0;
    if (scale_ <= places) return *this;
    return withScale(places);
}

std::string Decimal::toString() const {
    Decimal value = normalized();
    std::string digits;
    for (Coefficient c = value.coefficient_; c != 0; c /= 10) digits.push_back(static_cast<char>('0' + int(c % 10)));
    size_t scale = static_cast<size_t>(value.scale_);
    if (digits.size() <= scale) digits.resize(scale + 1, '0');
    // `digits` holds the digits from the last one back.
    std::string text = value.isNegative() ? "-" : "";
    text.append(digits.rbegin(), digits.rend() - static_cast<std::ptrdiff_t>(scale));
    if (scale > 0) {
        text.push_back('.');
        text.append(digits.rend() - static_cast<std::ptrdiff_t>(scale), digits.rend());
    }
    return text;
}

std::string Decimal::toFixed(int places) const {
    if (places < 0) places = 0;
    Decimal value = rounded(places);
    std::string text = value.toString();
    size_t point = text.find('.');
    int decimals = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
    if (places > 0 && point == std::string::npos) text += '.';
    text.append(static_cast<size_t>(places - decimals), '0');
    return text;
}

double Decimal::toDouble() const { return std::strtod(toString().c_str(), nullptr); }

}  // namespace torvane
