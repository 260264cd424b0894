// The life of the active company end to end through the real torvane-cli, with the real
// torvane-fiera as the user-profile service, the company's server and the photo server: the
// company never changes under an order, a maintenance action that deletes the order or the
// photos leaves order entry and the photo cache working, and a company code that is not plain
// never becomes active from any place it enters.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "support/CliFolder.h"
#include "support/FairProcess.h"
#include "support/TestJpeg.h"

using namespace torvane::test;
namespace fs = std::filesystem;

namespace {

// One order line on C001 / L01 / ART1 colour 001, and the line count it leaves on the tab.
constexpr const char* kUnaRiga = R"S(tap 0 0
search ross
tap 0 0
expect "<0: Rossi Tessuti>"
scan 100001
scan 10000
type 4 3
button Conferma
)S";

std::string jsonEscaped(unsigned char c) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
    return escaped;
}

struct CompanySessionScript : CliFolder {
    std::string served = dir.file("servito");
    std::unique_ptr<FairProcess> fiera;
    std::string base;

    // The fair server answers the login with `aziende` (a JSON array) for mario.
    void serve(const std::string& aziende) {
        fs::create_directories(served);
        writeFile(dir.file("profili.json"), R"({"utenti":[]})");
        fiera = std::make_unique<FairProcess>(served, std::vector<std::string>{"--profili", dir.file("profili.json")},
                                              dir.file("fiera.log"));
        base = "http://127.0.0.1:" + std::to_string(fiera->port()) + "/";
        writeFile(dir.file("profili.json"),
                  R"({"utenti":[{"user":"mario","password":"pw","aziende":)" + aziende + "}]}");
        for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
                 {"pref_AAASERVER", base + "ios/userProfile"}, {"pref_user", "mario"}, {"pref_azienda", "01"},
                 {"pref_aziendaAttiva", "01"}, {"pref_FOTOURL", base + "foto"}})
            defaults({key, value});
    }
    // The test catalogue, newer each time (or the loader finds it up to date), asking through
    // its parameters for `code` as the active and the requested company.
    std::string catalogueSetting(const std::string& code, long long newer) {
        std::string catalogue = readFile(TORVANE_TEST_SOURCE_DIR "/script/catalogo.xml");
        const std::string stamp = "<Timestamp>20261201000000";
        catalogue.replace(catalogue.find(stamp), stamp.size(), "<Timestamp>" + std::to_string(20261202000000 + newer));
        const std::string end = "</Azienda>";
        catalogue.insert(catalogue.rfind(end), "<Parametri><Parametro Attributo=\"SET-aziendaAttiva\"><Valore>" + code +
                                                   "</Valore></Parametro><Parametro Attributo=\"SET-azienda\"><Valore>" +
                                                   code + "</Valore></Parametro></Parametri>");
        return catalogue;
    }
    ProcessResult script(const std::string& text) { return cli({"script", "--verbose", "-"}, text); }
    std::string preference(const std::string& key) {
        auto read = cli({"defaults", "read", key});
        return read.out.substr(0, read.out.find('\n'));
    }
    // Every entry of the test's folder, the data folder's included, so nothing is written
    // or deleted outside the company's own files unnoticed.
    std::set<std::string> everyFile() {
        std::set<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
            if (entry.path().string().find("/servito") == std::string::npos && !entry.path().string().ends_with(".log"))
                files.insert(entry.path().string());
        return files;
    }
};

TEST_F(CompanySessionScript, ALoginGrantingAnotherCompanyDuringAnOrderKeepsTheActiveOne) {
    serve(R"([{"codice":"02","registeredAddress":"http://altrove/","userLegacyCode":["AG02"]},{"codice":"01"}])");
    auto run = script(std::string(kUnaRiga) + R"S(expect "*SCELTA* (1)"
tab IMPOSTAZIONI
button "Impostazioni dispositivo"
switch "Richiedi accesso" on
back
tab SCELTA
expect-alert "Login iniziale"
answer Ok mario pw
expect-alert "ALERT Attenzione: non posso cambiare Database!!! | Prima termina l'Ordine in corso | [Continua]"
tab Archivio
tab SCELTA
expect "<0: Rossi Tessuti>"
scan 100001
scan 10001
type 4 2
button Conferma
expect "*SCELTA* (2)"
expect-not "Errore"
)S");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("ALERT Autorizzazione concessa !! | (Aziende: 02 01)"), std::string::npos) << run.out;
    EXPECT_EQ(preference("pref_aziendaAttiva"), "01");
    EXPECT_EQ(preference("pref_azienda"), "01");
    EXPECT_EQ(preference("pref_agente"), "AG01;");
    EXPECT_FALSE(fs::exists(data + "/Documents/Database02.sqllite")) << "the other company's store is never opened";
}

TEST_F(CompanySessionScript, DeletingTheOrdersDuringAnOrderStartsOrderEntryClean) {
    serve("[]");
    auto run = script(std::string(kUnaRiga) + R"S(expect "*SCELTA* (1)"
tab IMPOSTAZIONI
button "Cancella Scelte"
expect "Nessun Ordine da inviare"
tab SCELTA
expect-not "Rossi Tessuti"
)S" + kUnaRiga + R"S(expect "*SCELTA* (1)"
expect-not "Errore"
tab IMPOSTAZIONI
expect "Ordini nel Database: 1"
)S");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
}

TEST_F(CompanySessionScript, AfterThePhotosAreDeletedTheArticleListDownloadsThemAgain) {
    serve("[]");
    writeFile(dir.file("foto.xml"), [&] {
        std::string catalogue = readFile(TORVANE_TEST_SOURCE_DIR "/script/catalogo.xml");
        const std::string art1 = "<Descrizione1>Lana cardata</Descrizione1>";
        catalogue.replace(catalogue.find(art1), art1.size(), art1 + "<FotoUrl>ART1.jpg</FotoUrl>");
        return catalogue;
    }());
    ASSERT_EQ(cli({"load", "--company", "01", "--file", dir.file("foto.xml")}).exitCode, 0);
    fs::create_directories(served + "/foto");
    writeFile(served + "/foto/ART1.jpg", testJpeg(8, 8));
    const std::string photo = data + "/Documents/FotoCache01/ART1-SMALL.jpeg";

    auto run = script(R"S(tap 0 0
tap 0 0
tap 2 0
wait-photos
back
tab IMPOSTAZIONI
button "Impostazioni dispositivo"
switch "Cancella Foto" on
back
tab SCELTA
tap 2 0
wait-photos
)S");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.err.find("Rimossa Cache Foto "), std::string::npos) << run.err;
    size_t downloads = 0;
    for (size_t at = fiera->log().find("GET /foto/ART1.jpg 200"); at != std::string::npos;
         at = fiera->log().find("GET /foto/ART1.jpg 200", at + 1))
        ++downloads;
    EXPECT_EQ(downloads, 2u) << fiera->log();
    EXPECT_TRUE(fs::exists(photo));
}

// Each hostile code from the login answer and from a catalogue's parameter: refused with a log
// line, the previous company still active, nothing written or deleted outside its files.
TEST_F(CompanySessionScript, ACompanyCodeThatIsNotPlainNeverBecomesActive) {
    const std::vector<std::string> hostile{"01/..", "../x", "", "01 02", std::string(300, 'A'), "caf\xc3\xa9", "\xff\xfe"};
    serve("[]");
    long long loads = 0;
    for (const std::string& code : hostile) {
        // JSON cannot carry bytes that are not UTF-8: the service sends them as characters.
        std::string quoted;
        for (unsigned char c : code) quoted += c < 0x80 ? std::string(1, static_cast<char>(c)) : jsonEscaped(c);
        writeFile(dir.file("profili.json"), R"({"utenti":[{"user":"mario","password":"pw","aziende":[{"codice":")" +
                                                quoted + R"("}]}]})");
        writeFile(dir.file("set.xml"), catalogueSetting(code, loads++));
        const auto before = everyFile();
        auto load = cli({"load", "--company", "01", "--verbose", "--file", dir.file("set.xml")});
        if (load.exitCode == 0) {
            EXPECT_NE(load.err.find("Codice azienda non valido (SET-azienda)"), std::string::npos) << code;
            EXPECT_NE(load.err.find("Parametro SET-aziendaAttiva ignorato"), std::string::npos) << code;
        } else {  // bytes that are not UTF-8 make the whole document unreadable
            EXPECT_NE(load.err.find("Input is not proper UTF-8"), std::string::npos) << code << load.err;
        }
        defaults({"pref_AAARequestEnabled", "YES", "--type", "bool"});
        auto run = script(R"S(expect-alert "Login iniziale"
answer Ok mario pw
expect-alert "Spiacente, non hai Autorizzazioni !!"
tab Archivio
tab SCELTA
expect "== SCELTA =="
)S");
        EXPECT_EQ(run.exitCode, 0) << code << run.out << run.err;
        if (!code.empty())  // an entry without a code names no company and is skipped as such
            EXPECT_NE(run.err.find("Codice azienda non valido (servizio utenti)"), std::string::npos) << code;
        EXPECT_EQ(preference("pref_aziendaAttiva"), "01") << code;
        EXPECT_EQ(preference("pref_azienda"), "01") << code;
        EXPECT_EQ(everyFile(), before) << code;
    }
    // Even a plain code: only the company switch makes a company active; the request stays
    // for the switch to judge.
    writeFile(dir.file("set.xml"), catalogueSetting("02", loads));
    ASSERT_EQ(cli({"load", "--company", "01", "--file", dir.file("set.xml")}).exitCode, 0);
    EXPECT_EQ(preference("pref_aziendaAttiva"), "01");
    EXPECT_EQ(preference("pref_azienda"), "02");
}

}  // namespace
