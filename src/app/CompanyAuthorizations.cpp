#include "app/CompanyAuthorizations.h"

#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

namespace torvane {

namespace {
std::string textField(const PreferenceRecord& record, const std::string& name) {
    auto found = record.find(name);
    if (found == record.end()) return {};
    if (const auto* text = std::get_if<std::string>(&found->second)) return *text;
    return {};
}
}  // namespace

std::string CompanyAuthorizations::code(const PreferenceRecord& authorization) {
    return textField(authorization, "codice");
}

std::string CompanyAuthorizations::agentCodes(const PreferenceRecord& authorization) {
    std::string joined;
    auto found = authorization.find("userLegacyCode");
    if (found == authorization.end()) return joined;
    if (const auto* codes = std::get_if<std::vector<std::string>>(&found->second)) {
        for (const std::string& agent : *codes) joined += agent + ";";
    } else if (const auto* single = std::get_if<std::string>(&found->second)) {
        joined = *single + ";";
    }
    return joined;
}

std::string CompanyAuthorizations::serverAddress(const PreferenceRecord& authorization) {
    std::string address = textField(authorization, "registeredAddress");
    return address.empty() ? "http://" : address;
}

std::optional<PreferenceRecord> CompanyAuthorizations::find(const Preferences& preferences,
                                                            const std::string& company,
                                                            const std::string& indent) {
    for (const PreferenceRecord& authorization : preferences.recordsForKey(keys::SYSTEM_AAA)) {
        const std::string codice = code(authorization);
        Log::f(indent + "AAA Azienda=%@", codice);
        if (codice == kIgnoredCompany) continue;
        Log::f(indent + "AAA HTTP   =%@", textField(authorization, "registeredAddress"));
        Log::f(indent + "AAA Agente =%@", agentCodes(authorization));
        if (codice == company) return authorization;
    }
    return std::nullopt;
}

void CompanyAuthorizations::activate(Preferences& preferences, const PreferenceRecord& authorization) {
    preferences.setString(keys::pref_aziendaAttiva, code(authorization));
    preferences.setString(keys::pref_agente, agentCodes(authorization));
    preferences.setString(keys::pref_HTTPSERVER, serverAddress(authorization));
    preferences.synchronize();
}

}  // namespace torvane
