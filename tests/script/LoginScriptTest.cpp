// A fresh installation end to end through the real torvane-cli: the login asked at the first
// start, the catalogue downloaded from the company's server, an order entry on that company.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/CliFolder.h"
#include "support/FairProcess.h"

using namespace torvane::test;

using LoginScript = CliData;

TEST_F(LoginScript, AFreshDataFolderLogsInDownloadsTheCatalogueAndTakesAnOrder) {
    // The fair server is the company's server and the profile service at once.
    const std::string served = dir.file("servito");
    std::filesystem::create_directories(served);
    writeFile(served + "/01.L1.xml", readFile(TORVANE_TEST_SOURCE_DIR "/script/catalogo.xml"));
    writeFile(dir.file("profili.json"), R"({"utenti":[]})");  // the users come once the port is known
    FairProcess fiera(served, {"--profili", dir.file("profili.json")}, dir.file("fiera.log"));
    const std::string base = "http://127.0.0.1:" + std::to_string(fiera.port()) + "/";
    writeFile(dir.file("profili.json"), R"({"utenti":[{"user":"mario","password":"p&ss word","aziende":[{"codice":"01",
        "registeredAddress":")" + base + R"(","userLegacyCode":["AG01"]}]}]})");
    defaults({"pref_AAASERVER", base + "ios/userProfile"});

    auto run = cli({"script", "-"}, R"S(expect-alert "ALERT Login iniziale | Imposta User / Password | [Ok]"
answer Ok mario "p&ss word"
expect-alert "ALERT Autorizzazione concessa !! | (Azienda: 01) | [Procedi con la Sincronizzazione ...]"
answer 0
tab IMPOSTAZIONI
expect "== IMPOSTAZIONI 01 =="
button "Caricamento TOTALE"
expect-alert "Completato !!"
answer Ok
expect "Aggiornato il "
tab SCELTA
tap 0 0
tap 0 1
expect "<1: Listino Fiera>"
)S");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(fiera.logHas("POST /ios/userProfile 200 profilo di mario"));
    EXPECT_TRUE(fiera.logHas("GET /01.L1.xml 200"));
    EXPECT_EQ(fiera.log().find("p&ss"), std::string::npos) << "the password never reaches the server's log";
}
