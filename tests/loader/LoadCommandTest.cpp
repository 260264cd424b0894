#include <gtest/gtest.h>

#include "loader/LoaderTestSupport.h"
#include "support/Process.h"
#include "support/TempDir.h"

using namespace torvane;
using namespace torvane::test;

namespace {
const std::string kDocument = document(
    "<ClientiFornitori><ClienteFornitore BarCode=\"B1\"><Codice>C1</Codice></ClienteFornitore></ClientiFornitori>");
}

TEST(LoadCli, LoadsAFileOrAUrlPrintsTheResultAlertAndExitsWithTheResult) {
    TempDir dir;
    writeFile(dir.file("01.L1.xml"), kDocument);
    const std::string data = dir.file("data");
    auto first = runProcess(TORVANE_CLI_PATH, {"--data-dir", data, "load", "--company", "01", "--file", dir.file("01.L1.xml")});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out.rfind("Completato !!\nPer essere precisi, ho caricato\nClienti:1 Tags:0 in ", 0), 0u) << first.out;
    EXPECT_NE(first.err.find("Step 1 di 1"), std::string::npos);
    auto again = runProcess(TORVANE_CLI_PATH, {"--data-dir", data, "load", "--company", "01", "--file", dir.file("01.L1.xml")});
    EXPECT_EQ(again.out, "Completato !!\nI dati risultano aggiornati\n");

    DocumentServer server;
    server.serve("/cat/02.L1.xml", "<html><body>oops</body></html>");
    auto bad = runProcess(TORVANE_CLI_PATH, {"--data-dir", data, "load", "--company", "02", "--pause-ms", "0", "--url",
                                             server.url("/cat/02.L1.xml")});
    EXPECT_EQ(bad.exitCode, 3);
    EXPECT_EQ(bad.out, "Errore caricamento!!!\nDati inesistenti o XML errato\n");
    EXPECT_EQ(server.requested(), std::vector<std::string>{"/cat/02.L1.xml"});

    // No server in the preferences: the alert, nothing fetched, result 0.
    auto refused = runProcess(TORVANE_CLI_PATH, {"--data-dir", data, "load", "--company", "01"});
    EXPECT_EQ(refused.exitCode, 0);
    EXPECT_EQ(refused.out.rfind("Manca l'indirizzo HTTP !!!\n", 0), 0u) << refused.out;
}
