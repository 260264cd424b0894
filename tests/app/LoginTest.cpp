// The login against a user-profile service on loopback: what is sent, what the answers make
// active, and that a failed login changes no preference.
#include <sys/stat.h>

#include "app/AppTestSupport.h"
#include "support/ProfileService.h"
#include "app/Autenticazione.h"
#include "platform/PreferenceKeys.h"

using namespace torvane;
using namespace torvane::test;

namespace {

struct Login : AppFixture {
    ProfileService service;
    Autenticazione login{ui};
    void SetUp() override {
        AppFixture::SetUp();
        prefs().setString(keys::pref_AAASERVER, service.url());
        prefs().setString(keys::pref_user, "DigitaUtenteTorvane");
        prefs().synchronize();
    }
    std::string pref(std::string_view key) { return prefs().stringForKey(key).value_or("(nessuno)"); }
};

}  // namespace

TEST_F(Login, TheFirstGrantedCompanyAfterVestraBecomesActiveWithItsAgentAndServer) {
    service.answer(R"({"aziende":[{"codice":"VESTRA","registeredAddress":"http://x"},
                                 {"codice":"C2","userLegacyCode":["A1"]},
                                 {"codice":"C3","registeredAddress":"http://c3.example/","userLegacyCode":["B1","B2"]}]})");
    login.rispostaLogin("mario", "p&ss=+%word");
    EXPECT_EQ(service.field("pass"), "p&ss=+%word") << "the password arrives as typed";
    EXPECT_EQ(service.field("user"), "mario");
    EXPECT_EQ(service.field("udid").size(), 36u);
    EXPECT_TRUE(ui.sawAlert("Autorizzazione concessa !!", "(Aziende: C2 C3)"));
    EXPECT_EQ(pref(keys::pref_aziendaAttiva), "C2");
    EXPECT_EQ(pref(keys::pref_azienda), "C2");
    EXPECT_EQ(pref(keys::pref_agente), "A1;");
    EXPECT_EQ(pref(keys::pref_HTTPSERVER), "http://");
    EXPECT_EQ(pref(keys::pref_user), "mario");
    ASSERT_TRUE(Database::sharedDatabase());
    EXPECT_EQ(Database::sharedDatabase()->currentAzienda(), "C2");
    for (const std::string& line : log->lines()) EXPECT_EQ(line.find("p&ss"), std::string::npos) << line;
    EXPECT_TRUE(log->contains("Password: ********"));
    struct stat info {};
    ASSERT_EQ(stat(dir.file("prefs.json").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "the preferences hold the password";
}

TEST_F(Login, AFailedOrRefusedLoginChangesNoPreference) {
    const std::vector<std::pair<std::string, std::string>> answers = {
        {"<html>errore</html>", "Utente non autorizzato !!"},
        {R"({"aziende":[]})", "Utente non autorizzato !!"},
        {R"({"aziende":"C1"})", "Utente non autorizzato !!"},
        {R"({"aziende":[{"codice":"VESTRA"},{"registeredAddress":"http://senza-codice"},7]})",
         "Contatta Velmora o usa Modalita' Fiera/Demo"},
    };
    for (const auto& [answer, message] : answers) {
        service.answer(answer);
        login.rispostaLogin("mario", "segreta");
        ASSERT_TRUE(ui.lastAlert());
        EXPECT_EQ(ui.lastAlert()->message, message) << answer;
        EXPECT_EQ(pref(keys::pref_user), "DigitaUtenteTorvane") << answer;
        EXPECT_EQ(pref(keys::pref_aziendaAttiva), "(nessuno)") << answer;
    }
    service.answer("{}", 500);
    login.rispostaLogin("mario", "segreta");
    EXPECT_EQ(ui.lastAlert()->title, "Errore Connessione");
    prefs().setString(keys::pref_AAASERVER, "http://127.0.0.1:1/ios/userProfile");
    login.rispostaLogin("mario", "segreta");
    EXPECT_EQ(ui.lastAlert()->message, "Non riesco a raggiungere il servizio utenti (127.0.0.1)");
    prefs().setString(keys::pref_AAASERVER, service.url());
    EXPECT_FALSE(Database::sharedDatabase()) << "no store opened for nobody";
}

TEST_F(Login, LongOddNamesAndHugeAnswersAreSentAndReadSafely) {
    const std::string name = std::string(1000, 'm') + "\r\nX-Iniettato: si";
    std::string huge = R"({"aziende":[{"codice":"01","registeredAddress":"http://x/","note":")" + std::string(10 << 20, 'z') + R"("}]})";
    service.answer(huge);
    login.rispostaLogin(name, "pw");
    EXPECT_EQ(service.field("user"), name) << "a line break stays inside the value";
    EXPECT_EQ(pref(keys::pref_aziendaAttiva), "01");
    for (const std::string& line : log->lines()) EXPECT_LT(line.size(), 20000u) << "a huge answer is logged by its beginning";
}

TEST_F(Login, DeeplyNestedAnswersAreRefusedWithoutExhaustingTheStack) {
    // 100,000 nested arrays, as an array and inside the companies' list.
    const std::string nested = std::string(100000, '[') + std::string(100000, ']');
    for (const std::string& answer : {nested, R"({"aziende":[)" + nested + "]}"}) {
        service.answer(answer);
        login.rispostaLogin("mario", "pw");
        EXPECT_EQ(pref(keys::pref_aziendaAttiva), "(nessuno)");
    }
}
