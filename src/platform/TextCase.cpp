#include "platform/TextCase.h"

#include <algorithm>
#include <memory>

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace torvane {

std::string TextCase::upper(std::string_view utf8) {
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    text.toUpper(icu::Locale::getItalian());
    std::string result;
    text.toUTF8String(result);
    return result;
}

bool TextCase::containsIgnoringCase(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) return false;
    return upper(haystack).find(upper(needle)) != std::string::npos;
}

std::string TextCase::fold(std::string_view utf8, bool ignoreAccents) {
    // Plain ASCII folds to its lower case and has no accents: most names and codes take this
    // path, which keeps a search over a large client list free of ICU conversions.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string lowered(utf8);
        for (char& c : lowered)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return lowered;
    }
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    text.foldCase();
    if (ignoreAccents) {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
        if (U_SUCCESS(status)) {
            icu::UnicodeString decomposed = nfd->normalize(text, status);
            if (U_SUCCESS(status)) {
                icu::UnicodeString stripped;
                for (int32_t i = 0; i < decomposed.length();) {
                    UChar32 c = decomposed.char32At(i);
                    if (u_charType(c) != U_NON_SPACING_MARK) stripped.append(c);
                    i += U16_LENGTH(c);
                }
                text = stripped;
            }
        }
    }
    std::string result;
    text.toUTF8String(result);
    return result;
}

bool TextCase::lessInLocale(std::string_view a, std::string_view b) {
    // One collator for the process: making one costs far more than a comparison.
    static const std::unique_ptr<icu::Collator> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> made(icu::Collator::createInstance(icu::Locale("it", "IT"), status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    if (!collator) return a < b;
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = collator->compareUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
                                                          icu::StringPiece(b.data(), static_cast<int32_t>(b.size())), status);
    return U_SUCCESS(status) ? result == UCOL_LESS : a < b;
}

}  // namespace torvane
