#include "platform/TextCase.h"

#include <unicode/locid.h>
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

}  // namespace torvane
