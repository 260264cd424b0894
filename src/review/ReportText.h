#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvane {

// Small text rules the order documents share.

// The code kept in a list picker's "[code] description" text: what lies between a leading
// "[" and the first "]" (the rest of the text when no "]" follows); any other text unchanged.
// An absent text stays absent.
std::optional<std::string> codeOfDescription(const std::optional<std::string>& text);
std::string codeOfText(std::string_view text);

// Present and not empty.
inline bool hasText(const std::optional<std::string>& text) { return text && !text->empty(); }
// The text, or empty when absent.
inline std::string textOf(const std::optional<std::string>& text) { return text.value_or(std::string()); }

inline bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The text without its first character (a whole UTF-8 sequence, never half of one).
std::string withoutFirstCharacter(std::string_view text);

// The number after the four-character prefix of a parameter name ("DES-07" is 7), read as an
// integer the way the catalogue does: leading digits only, 0 when there are none.
int attributeNumberOf(std::string_view parameterName);

}  // namespace torvane
