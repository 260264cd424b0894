// A fresh installation end to end through the real torvane-cli: the login asked at the first
// start, the catalogue downloaded from the company's server, an order entry on that company.
#include <gtest/gtest.h>

#include "loader/LoaderTestSupport.h"
#include "support/Process.h"
#include "support/ProfileService.h"
#include "support/TempDir.h"

using namespace torvane::test;

TEST(LoginScript, AFreshDataFolderLogsInDownloadsTheCatalogueAndTakesAnOrder) {
    TempDir dir;
    const std::string data = dir.file("data");
    DocumentServer company;
    company.serve("/01.L1.xml", readFile(TORVANE_TEST_SOURCE_DIR "/script/catalogo.xml"));
    ProfileService profiles;
    profiles.answer(R"({"aziende":[{"codice":"01","registeredAddress":")" + company.url("/") +
                    R"(","userLegacyCode":["AG01"]}]})");
    auto cli = [&](std::vector<std::string> words, const std::optional<std::string>& input = std::nullopt) {
        words.insert(words.begin(), {"--data-dir", data});
        return runProcess(TORVANE_CLI_PATH, words, input);
    };
    ASSERT_EQ(cli({"defaults", "write", "pref_AAASERVER", profiles.url()}).exitCode, 0);

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
    EXPECT_EQ(profiles.field("pass"), "p&ss word");
    EXPECT_EQ(company.requested(), std::vector<std::string>{"/01.L1.xml"});
}
