#include "app/CompanySwitch.h"
#include "AppTestSupport.h"
#include "platform/CompanyCode.h"
#include "platform/PreferenceKeys.h"
#include "session/CompanySession.h"

using namespace torvane;

namespace {
struct Switch : test::AppFixture {
    std::optional<CompanySwitch> companySwitch;  // made after the preferences are reset
    int loginsShown = 0;

    void SetUp() override {
        AppFixture::SetUp();
        companySwitch.emplace(ui);
        prefs().setString(keys::pref_user, "mario");
        prefs().setString(keys::pref_aziendaAttiva, "C1");
        prefs().setString(keys::pref_azienda, "C1");
        prefs().setObject(keys::SYSTEM_AAA,
                          PreferenceRecords{{{"codice", "VESTRA"}, {"userLegacyCode", std::vector<std::string>{"X"}}},
                                            {{"codice", "C3"},
                                             {"registeredAddress", "http://srv3/dati"},
                                             {"userLegacyCode", std::vector<std::string>{"A1", "B2"}}}});
    }
    CompanySwitch::Outcome run(bool orderInProgress = false) {
        return companySwitch->run(orderInProgress, [this] { ++loginsShown; });
    }
    std::string openCompany() {
        auto db = Database::sharedDatabase();
        return db ? db->currentAzienda() : "(nessuno)";
    }
};
}  // namespace

TEST_F(Switch, ALoginIsAskedForWhenRequestedOrWhenNobodyIsKnown) {
    prefs().setBool(keys::pref_AAARequestEnabled, true);
    EXPECT_EQ(run(), CompanySwitch::Outcome::LoginShown);
    EXPECT_EQ(loginsShown, 1);
    EXPECT_EQ(prefs().stringForKey(keys::pref_user), "DigitaUtenteTorvane");
    EXPECT_FALSE(prefs().hasStoredValue(keys::pref_AAARequestEnabled));
    EXPECT_EQ(openCompany(), "(nessuno)") << "nothing else happens this time";

    // The placeholder user with no active company still needs a login; with one it does not.
    prefs().removeObjectForKey(keys::pref_aziendaAttiva);
    EXPECT_TRUE(CompanySwitch::loginNeeded(prefs()));
    prefs().setString(keys::pref_aziendaAttiva, "C1");
    EXPECT_FALSE(CompanySwitch::loginNeeded(prefs()));

    EXPECT_EQ(run(), CompanySwitch::Outcome::StoreOpen);
    EXPECT_EQ(openCompany(), "C1");
}

TEST_F(Switch, MovesToAnAuthorisedCompanyWithItsAgentsAndServer) {
    ASSERT_EQ(run(), CompanySwitch::Outcome::StoreOpen);
    prefs().setString(keys::pref_azienda, "C3");
    EXPECT_EQ(run(), CompanySwitch::Outcome::StoreOpen);

    EXPECT_EQ(openCompany(), "C3");
    EXPECT_EQ(prefs().stringForKey(keys::pref_aziendaAttiva), "C3");
    EXPECT_EQ(prefs().stringForKey(keys::pref_agente), "A1;B2;");
    EXPECT_EQ(prefs().stringForKey(keys::pref_HTTPSERVER), "http://srv3/dati");
    EXPECT_EQ(Preferences(prefs().filePath()).stringForKey(keys::pref_agente), "A1;B2;") << "saved";
    EXPECT_TRUE(log->contains("Cambio Azienda : rilascio db C1"));
    EXPECT_TRUE(log->contains("Cambio Azienda : cerco di vedere se sono abilitato al db C3"));
    EXPECT_TRUE(log->contains("    Eureka !!! Trovata C3"));
    EXPECT_TRUE(ui.alerts().empty());
}

TEST_F(Switch, AnUnknownOrIgnoredCompanyIsRefusedAndTheRequestRestored) {
    for (const char* requested : {"VESTRA", "C9"}) {
        ui.clearEvents();
        ASSERT_EQ(run(), CompanySwitch::Outcome::StoreOpen);
        prefs().setString(keys::pref_azienda, requested);
        EXPECT_EQ(run(), CompanySwitch::Outcome::StoreOpen);
        EXPECT_TRUE(ui.sawAlert("Attenzione !!!", std::string("Non posso cambiare DB da C1 a ") + requested));
        EXPECT_EQ(prefs().stringForKey(keys::pref_azienda), "C1");
        EXPECT_EQ(openCompany(), "C1") << "the active company's store is opened again";
    }
    // A code that is not plain is no company: logged, the request restored, the store and the
    // session kept.
    const auto before = companySwitch->session();
    ASSERT_TRUE(before);
    for (const std::string& requested : std::vector<std::string>{"C1/..", "../x", "01 02", std::string(300, 'A'), "\xff"}) {
        prefs().setString(keys::pref_azienda, requested);
        EXPECT_EQ(run(), CompanySwitch::Outcome::StoreOpen);
        EXPECT_EQ(prefs().stringForKey(keys::pref_azienda), "C1");
        EXPECT_EQ(companySwitch->session(), before);
    }
    for (const std::string& shown : std::vector<std::string>{"../x", "\\xFF", std::string(40, 'A') + "..."})
        EXPECT_TRUE(log->contains("Codice azienda non valido (pref_azienda): \"" + shown + "\" rifiutato")) << shown;
    EXPECT_EQ(before->code().text(), "C1");
}

TEST_F(Switch, NoSwitchWhileAnOrderIsInProgress) {
    ASSERT_EQ(run(), CompanySwitch::Outcome::StoreOpen);
    auto before = Database::sharedDatabase();
    prefs().setString(keys::pref_azienda, "C3");
    EXPECT_EQ(run(true), CompanySwitch::Outcome::StoreOpen);
    EXPECT_TRUE(ui.sawAlert("Attenzione: non posso cambiare Database!!!", "Prima termina l'Ordine in corso"));
    EXPECT_EQ(ui.lastAlert()->buttons.at(0), "Continua");
    EXPECT_EQ(Preferences(prefs().filePath()).stringForKey(keys::pref_azienda), "C1") << "restored and saved";
    EXPECT_EQ(Database::sharedDatabase(), before) << "the same store stays open";
}

TEST_F(Switch, AStoreThatCannotBeOpenedIsReported) {
    // A folder where the store file should be: SQLite cannot open it.
    std::filesystem::create_directories(Database::storePath(*CompanyCode::from("C1")));
    EXPECT_EQ(run(), CompanySwitch::Outcome::NoStore);
    EXPECT_TRUE(ui.sawAlert("Non accedo al Database !!!", "Prego uscire con tasto HOME"));
}
