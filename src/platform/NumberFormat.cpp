#include "platform/NumberFormat.h"

#include <map>
#include <mutex>
#include <stdexcept>

#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/locid.h>
#include <unicode/numberformatter.h>
#include <unicode/unistr.h>

namespace torvane {

namespace {

constexpr std::string_view plainDecimalPattern = "0.##########";
constexpr size_t cacheLimit = 64;  // patterns are constants of the code; this only bounds a mistake

}  // namespace

struct NumberFormat::Impl {
    std::string pattern;
    int maximumFractionDigits = 0;
    // A copy owned here (not the DecimalFormat's own): immutable and safe to share.
    icu::number::LocalizedNumberFormatter formatter;

    std::string format(const Decimal& value) const {
        // Rounded here, exactly and halves away from zero, so ICU only lays the digits out
        // and a tiny negative value never shows as "-0,00".
        std::string digits = value.rounded(maximumFractionDigits).toString();
        UErrorCode status = U_ZERO_ERROR;
        icu::number::FormattedNumber formatted = formatter.formatDecimal(icu::StringPiece(digits), status);
        icu::UnicodeString text = formatted.toString(status);
        if (U_FAILURE(status)) return digits;  // only out of memory: the plain digits beat nothing
        std::string result;
        text.toUTF8String(result);
        return result;
    }

    static std::shared_ptr<const Impl> build(std::string_view pattern);
    static std::shared_ptr<const Impl> cached(std::string_view pattern);
};

std::shared_ptr<const NumberFormat::Impl> NumberFormat::Impl::build(std::string_view pattern) {
    UErrorCode status = U_ZERO_ERROR;
    auto symbols = std::make_unique<icu::DecimalFormatSymbols>(icu::Locale("it", "IT"), status);
    if (U_FAILURE(status)) throw std::runtime_error("simboli numerici ICU non disponibili");
    // Set even though Italian has them: the separators must not follow the ICU data.
    symbols->setSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol, u".");
    symbols->setSymbol(icu::DecimalFormatSymbols::kMonetaryGroupingSeparatorSymbol, u".");
    symbols->setSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol, u",");
    symbols->setSymbol(icu::DecimalFormatSymbols::kMonetarySeparatorSymbol, u",");
    symbols->setSymbol(icu::DecimalFormatSymbols::kMinusSignSymbol, u"-");
    icu::DecimalFormat decimalFormat(
        icu::UnicodeString::fromUTF8(icu::StringPiece(pattern.data(), static_cast<int32_t>(pattern.size()))),
        symbols.release(), status);
    if (U_FAILURE(status)) throw std::invalid_argument("formato numerico non valido: " + std::string(pattern));
    decimalFormat.setRoundingMode(icu::DecimalFormat::kRoundHalfUp);
    const icu::number::LocalizedNumberFormatter* formatter = decimalFormat.toNumberFormatter(status);
    if (U_FAILURE(status) || !formatter) throw std::runtime_error("formattatore numerico ICU non disponibile");
    auto impl = std::make_shared<Impl>();
    impl->pattern = std::string(pattern);
    impl->maximumFractionDigits = decimalFormat.getMaximumFractionDigits();
    impl->formatter = *formatter;
    return impl;
}

std::shared_ptr<const NumberFormat::Impl> NumberFormat::Impl::cached(std::string_view pattern) {
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const Impl>, std::less<>> cache;
    std::lock_guard lock(mutex);
    if (auto found = cache.find(pattern); found != cache.end()) return found->second;
    auto impl = build(pattern);
    if (cache.size() >= cacheLimit) cache.clear();
    cache.emplace(std::string(pattern), impl);
    return impl;
}

NumberFormat::NumberFormat(std::string_view pattern) : impl_(Impl::cached(pattern)) {}

NumberFormat NumberFormat::plainDecimal() { return NumberFormat(plainDecimalPattern); }

std::string NumberFormat::format(const Decimal& value) const { return impl_->format(value); }
std::string NumberFormat::format(double value) const { return impl_->format(Decimal::fromDouble(value)); }
std::string NumberFormat::format(long long value) const { return impl_->format(Decimal::fromInteger(value)); }

const std::string& NumberFormat::pattern() const { return impl_->pattern; }
int NumberFormat::maximumFractionDigits() const { return impl_->maximumFractionDigits; }

}  // namespace torvane
