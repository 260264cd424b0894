#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::script {

// A script line split into words as a shell would: blanks separate words, single quotes keep
// everything as it is, double quotes keep blanks and take a backslash before `"` or `\`, and a
// backslash outside quotes keeps the next character. A `#` at the start of a word begins a
// comment.
struct ScriptWords {
    std::vector<std::string> words;
    std::optional<std::string> error;  // an unclosed quote, a line that is not UTF-8

    static ScriptWords split(std::string_view line);
};

// The characters of a UTF-8 text, one string each, as a keyboard would type them.
std::vector<std::string> utf8Characters(std::string_view text);

}  // namespace torvane::script
