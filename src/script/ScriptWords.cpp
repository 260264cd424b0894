#include "script/ScriptWords.h"

#include <unicode/utf8.h>

namespace torvane::script {

namespace {
bool isValidUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const int32_t length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) return false;
    }
    return true;
}
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
}  // namespace

ScriptWords ScriptWords::split(std::string_view line) {
    ScriptWords result;
    if (line.size() > static_cast<std::size_t>(INT32_MAX) || !isValidUtf8(line)) {
        result.error = "la riga non e' testo UTF-8";
        return result;
    }
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (isBlank(c)) {
            if (inWord) result.words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else if (c == '#' && !inWord) {
            break;
        } else if (c == '\'') {
            const std::size_t end = line.find('\'', i + 1);
            if (end == std::string_view::npos) {
                result.error = "apice non chiuso";
                return result;
            }
            word.append(line.substr(i + 1, end - i - 1));
            inWord = true;
            i = end;
        } else if (c == '"') {
            std::size_t j = i + 1;
            for (; j < line.size() && line[j] != '"'; ++j) {
                if (line[j] == '\\' && j + 1 < line.size() && (line[j + 1] == '"' || line[j + 1] == '\\')) ++j;
                word += line[j];
            }
            if (j >= line.size()) {
                result.error = "virgolette non chiuse";
                return result;
            }
            inWord = true;
            i = j;
        } else if (c == '\\' && i + 1 < line.size()) {
            word += line[++i];
            inWord = true;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) result.words.push_back(std::move(word));
    return result;
}

std::vector<std::string> utf8Characters(std::string_view text) {
    std::vector<std::string> characters;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const int32_t length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        const int32_t start = i;
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        characters.emplace_back(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
    }
    return characters;
}

}  // namespace torvane::script
