#include "platform/DateFormat.h"

#include <ctime>
#include <map>
#include <mutex>
#include <stdexcept>

#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

namespace torvane {

namespace {

icu::UnicodeString unicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

std::string utf8(const icu::UnicodeString& text) {
    std::string result;
    text.toUTF8String(result);
    return result;
}

std::string zoneId(const icu::TimeZone& zone) {
    icu::UnicodeString id;
    zone.getID(id);
    return utf8(id);
}

// ICU takes any pattern: unknown letters print nothing and an open quote runs to the end.
// A pattern of the code with either is a mistake to report at once.
bool validPattern(std::string_view pattern) {
    constexpr std::string_view letters = "GyMdkHmsSEDFwWahKzYeugAZvcLQqVUOXxrbB";  // SimpleDateFormat's own
    bool quoted = false;
    for (char c : pattern) {
        if (c == '\'') quoted = !quoted;
        else if (!quoted && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && letters.find(c) == letters.npos)
            return false;
    }
    return !quoted;
}

// The pattern with the week year ("Y") read as the calendar year ("y"), when it names a
// day by month and day rather than by week: ICU resolves "dd/MM/YYYY" to the start of the
// week year, dropping the day and month. Empty when the pattern needs no such help.
std::string calendarYearPattern(std::string_view pattern) {
    std::string result(pattern);
    bool quoted = false, weekYear = false;
    for (char& c : result) {
        if (c == '\'') quoted = !quoted;
        if (quoted) continue;
        if (c == 'w' || c == 'y') return {};  // a week of the year, or both years: ICU's own reading
        if (c == 'Y') {
            c = 'y';
            weekYear = true;
        }
    }
    return weekYear ? result : std::string();
}

std::unique_ptr<icu::SimpleDateFormat> build(std::string_view pattern, const icu::TimeZone& zone) {
    UErrorCode status = U_ZERO_ERROR;
    auto formatter = std::make_unique<icu::SimpleDateFormat>(unicode(pattern), icu::Locale("it", "IT"), status);
    if (U_FAILURE(status)) throw std::invalid_argument("formato data non valido: " + std::string(pattern));
    formatter->setLenient(false);  // also makes the calendar refuse 31/02 and 25:00
    for (auto attribute : {UDAT_PARSE_ALLOW_WHITESPACE, UDAT_PARSE_ALLOW_NUMERIC, UDAT_PARSE_PARTIAL_LITERAL_MATCH,
                           UDAT_PARSE_MULTIPLE_PATTERNS_FOR_MATCH}) {
        formatter->setBooleanAttribute(attribute, false, status);
        status = U_ZERO_ERROR;  // an attribute an older ICU lacks is no reason to fail
    }
    formatter->setTimeZone(zone);
    return formatter;
}

struct Formatters {
    std::unique_ptr<icu::SimpleDateFormat> formatter;
    std::unique_ptr<icu::SimpleDateFormat> yearParser;  // see calendarYearPattern; may be null

    Formatters clone() const {
        return {std::unique_ptr<icu::SimpleDateFormat>(formatter->clone()),
                std::unique_ptr<icu::SimpleDateFormat>(yearParser ? yearParser->clone() : nullptr)};
    }
};

// Building a SimpleDateFormat loads locale data and compiles the pattern; a clone of a
// ready one is far cheaper, and screens make formatters per row.
Formatters cachedClone(std::string_view pattern) {
    static std::mutex mutex;
    static std::map<std::string, Formatters, std::less<>> prototypes;
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createDefault());
    std::string key = zoneId(*zone) + '\n' + std::string(pattern);
    std::lock_guard lock(mutex);
    auto found = prototypes.find(key);
    if (found == prototypes.end()) {
        if (!validPattern(pattern)) throw std::invalid_argument("formato data non valido: " + std::string(pattern));
        Formatters prototype{build(pattern, *zone), nullptr};
        if (std::string yearPattern = calendarYearPattern(pattern); !yearPattern.empty())
            prototype.yearParser = build(yearPattern, *zone);
        if (prototypes.size() >= 64) prototypes.clear();  // patterns are few; this only bounds a mistake
        found = prototypes.emplace(std::move(key), std::move(prototype)).first;
    }
    return found->second.clone();
}

}  // namespace

// SimpleDateFormat changes its calendar while it works, even in const calls: one lock each.
struct DateFormat::Impl {
    std::string pattern;
    Formatters formatters;
    std::mutex mutex;

    Impl(std::string pattern_, Formatters formatters_)
        : pattern(std::move(pattern_)), formatters(std::move(formatters_)) {}

    std::unique_ptr<Impl> copy() {
        std::lock_guard lock(mutex);
        return std::make_unique<Impl>(pattern, formatters.clone());
    }

    // Under the lock. The text must format back to itself: lenience off still lets through
    // one-digit days for "dd" and wall times that daylight saving skips.
    bool readsBack(UDate date, const icu::UnicodeString& input) {
        icu::UnicodeString again;
        formatters.formatter->format(date, again);
        return again == input;
    }

    // Under the lock. A day and month with a week year: the calendar year is the week year
    // or one next to it. The one candidate that formats back is the date; two that do
    // ("03/01/2026" is both 3 January 2026 and 2027) leave the text ambiguous.
    std::optional<UDate> parseWithWeekYear(UDate calendarYearDate, const icu::UnicodeString& input) {
        std::unique_ptr<icu::Calendar> calendar(formatters.formatter->getCalendar()->clone());
        if (!calendar) return std::nullopt;
        std::optional<UDate> found;
        for (int shift : {-1, 0, 1}) {
            UErrorCode status = U_ZERO_ERROR;
            calendar->setTime(calendarYearDate, status);
            int32_t day = calendar->get(UCAL_DATE, status);
            calendar->add(UCAL_YEAR, shift, status);
            // 29 February in another year, or a wall time that year skips: no candidate.
            if (U_FAILURE(status) || calendar->get(UCAL_DATE, status) != day) continue;
            UDate candidate = calendar->getTime(status);
            if (U_FAILURE(status) || !readsBack(candidate, input)) continue;
            if (found) return std::nullopt;
            found = candidate;
        }
        return found;
    }
};

DateFormat::DateFormat(std::string_view pattern) {
    Formatters formatters = cachedClone(pattern);
    if (!formatters.formatter) throw std::runtime_error("formattatore date ICU non disponibile");
    impl_ = std::make_unique<Impl>(std::string(pattern), std::move(formatters));
}

DateFormat::DateFormat(const DateFormat& other) : impl_(other.impl_ ? other.impl_->copy() : nullptr) {}

DateFormat& DateFormat::operator=(const DateFormat& other) {
    if (this != &other) impl_ = other.impl_ ? other.impl_->copy() : nullptr;
    return *this;
}

DateFormat::DateFormat(DateFormat&&) noexcept = default;
DateFormat& DateFormat::operator=(DateFormat&&) noexcept = default;
DateFormat::~DateFormat() = default;

std::string DateFormat::format(Timestamp time) const {
    auto milliseconds = std::chrono::floor<std::chrono::milliseconds>(time).time_since_epoch().count();
    icu::UnicodeString text;
    {
        std::lock_guard lock(impl_->mutex);
        impl_->formatters.formatter->format(static_cast<UDate>(milliseconds), text);
    }
    return utf8(text);
}

std::optional<Timestamp> DateFormat::parse(std::string_view text) const {
    if (text.empty()) return std::nullopt;
    icu::UnicodeString input = unicode(text);
    std::optional<UDate> date;
    {
        std::lock_guard lock(impl_->mutex);
        icu::SimpleDateFormat& parser =
            impl_->formatters.yearParser ? *impl_->formatters.yearParser : *impl_->formatters.formatter;
        icu::ParsePosition position(0);
        UDate parsed = parser.parse(input, position);
        if (position.getErrorIndex() >= 0 || position.getIndex() != input.length()) return std::nullopt;
        if (impl_->formatters.yearParser) date = impl_->parseWithWeekYear(parsed, input);
        else if (impl_->readsBack(parsed, input)) date = parsed;
    }
    if (!date) return std::nullopt;
    return Timestamp(std::chrono::milliseconds(static_cast<long long>(*date)));
}

const std::string& DateFormat::pattern() const { return impl_->pattern; }

std::string DateFormat::timeZoneId() const {
    std::lock_guard lock(impl_->mutex);
    return zoneId(impl_->formatters.formatter->getTimeZone());
}

void DateFormat::refreshDeviceTimeZone() {
    tzset();
    icu::TimeZone::adoptDefault(icu::TimeZone::detectHostTimeZone());
}

std::string DateFormat::deviceTimeZoneId() {
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createDefault());
    return zoneId(*zone);
}

}  // namespace torvane
