#pragma once

#include <optional>
#include <string>

#include "platform/PreferenceValue.h"

namespace torvane {

class Preferences;

// The companies the user may work for, as the user-profile service listed them and the
// preferences keep them (`SYSTEM_AAA`). The login and the company switch read the list with
// the same rules: entries coded "VESTRA" never count, agent codes are each followed by ";",
// a missing server address is "http://".
class CompanyAuthorizations {
public:
    static constexpr const char* kIgnoredCompany = "VESTRA";

    // The first authorisation, in stored order, whose code is `company`; every entry looked
    // at is logged with `indent` before its lines ("AAA Azienda=%@", "AAA HTTP   =%@",
    // "AAA Agente =%@").
    static std::optional<PreferenceRecord> find(const Preferences& preferences, const std::string& company,
                                                const std::string& indent);

    static std::string code(const PreferenceRecord& authorization);
    // "A1;B2;" for the codes A1 and B2.
    static std::string agentCodes(const PreferenceRecord& authorization);
    static std::string serverAddress(const PreferenceRecord& authorization);

    // Makes the authorisation's company the active one: company, agent codes, server.
    static void activate(Preferences& preferences, const PreferenceRecord& authorization);
};

}  // namespace torvane
