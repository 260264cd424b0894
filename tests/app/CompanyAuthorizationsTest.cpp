#include <gtest/gtest.h>

#include "app/CompanyAuthorizations.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "support/TempDir.h"

using namespace torvane;

namespace {
PreferenceRecord authorization(std::string code, std::optional<std::string> address,
                               std::vector<std::string> agents) {
    PreferenceRecord record{{"codice", std::move(code)}, {"userLegacyCode", std::move(agents)}};
    if (address) record["registeredAddress"] = *address;
    return record;
}

struct Authorizations : ::testing::Test {
    test::TempDir dir;
    Preferences prefs{dir.file("prefs.json")};
    void SetUp() override {
        prefs.setObject(keys::SYSTEM_AAA,
                        PreferenceRecords{authorization("C2", std::nullopt, {"A1"}),
                                          authorization("VESTRA", "http://vestra", {"X"}),
                                          authorization("C3", "http://srv3/dati", {"A1", "B2"})});
    }
};
}  // namespace

TEST_F(Authorizations, FindSkipsTheIgnoredCompanyAndLogsEveryEntryLookedAt) {
    auto log = Log::capture();
    log->clear();
    auto found = CompanyAuthorizations::find(prefs, "C3", "    ");
    ASSERT_TRUE(found);
    EXPECT_EQ(log->lines(), (std::vector<std::string>{
                                "    AAA Azienda=C2", "    AAA HTTP   =", "    AAA Agente =A1;",
                                "    AAA Azienda=VESTRA",
                                "    AAA Azienda=C3", "    AAA HTTP   =http://srv3/dati",
                                "    AAA Agente =A1;B2;"}));
    EXPECT_FALSE(CompanyAuthorizations::find(prefs, "VESTRA", "").has_value());
    EXPECT_FALSE(CompanyAuthorizations::find(prefs, "C9", "").has_value());
}

TEST_F(Authorizations, ActivateWritesCompanyAgentCodesAndServerWithTheirRules) {
    CompanyAuthorizations::activate(prefs, *CompanyAuthorizations::find(prefs, "C2", ""));
    EXPECT_EQ(prefs.stringForKey(keys::pref_aziendaAttiva), "C2");
    EXPECT_EQ(prefs.stringForKey(keys::pref_agente), "A1;") << "each code is followed by ;";
    EXPECT_EQ(prefs.stringForKey(keys::pref_HTTPSERVER), "http://") << "no address on record";
    EXPECT_EQ(Preferences(prefs.filePath()).stringForKey(keys::pref_aziendaAttiva), "C2") << "saved";
}
