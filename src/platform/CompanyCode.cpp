#include "platform/CompanyCode.h"

#include <algorithm>

namespace torvane {

bool CompanyCode::isPlain(std::string_view code) {
    if (code.empty() || code.size() > maxLength) return false;
    // ASCII only, whatever the locale: no separator, dot, control or multi-byte character.
    return std::all_of(code.begin(), code.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
}

}  // namespace torvane
