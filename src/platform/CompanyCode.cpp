#include "platform/CompanyCode.h"

#include <algorithm>

#include "platform/Log.h"

namespace torvane {

bool CompanyCode::isPlain(std::string_view code) {
    if (code.empty() || code.size() > maxLength) return false;
    // ASCII only, whatever the locale: no separator, dot, control or multi-byte character.
    return std::all_of(code.begin(), code.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
}

std::optional<CompanyCode> CompanyCode::from(std::string_view text) {
    if (!isPlain(text)) return std::nullopt;
    return CompanyCode(std::string(text));
}

std::optional<CompanyCode> CompanyCode::checked(std::string_view text, std::string_view from) {
    auto code = CompanyCode::from(text);
    // The refused code is logged by its beginning, each byte that is not plain text escaped:
    // it may be long, or not text at all.
    if (!code) {
        std::string shown;
        for (unsigned char c : text.substr(0, 40)) {
            if (c >= 0x20 && c < 0x7f) shown += static_cast<char>(c);
            else shown += format("\\x%02X", static_cast<long long>(c));
        }
        if (text.size() > 40) shown += "...";
        Log::f("Codice azienda non valido (%@): \"%@\" rifiutato", std::string(from), shown);
    }
    return code;
}

std::string CompanyCode::storeFileName() const { return "Database" + code_ + ".sqllite"; }

std::string CompanyCode::photoFolderName() const { return "FotoCache" + code_; }

}  // namespace torvane
