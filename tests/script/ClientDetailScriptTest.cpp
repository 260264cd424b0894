// The client detail end to end through torvane-cli: the catalogue of the runner's tests plus
// a statistics and exposure document for C001 "Rossi Tessuti" (collection AI12 in metres:
// LANA sold 200 m in production and 13 m of samples, 2550 in all; CARTELLA only "T+CC";
// a balance of 1234,56).
#include <gtest/gtest.h>

#include "support/Process.h"
#include "support/TempDir.h"

using namespace torvane::test;

namespace {

struct ClientDetailScript : ::testing::Test {
    TempDir dir;
    std::string data = dir.file("data");

    void SetUp() override {
        for (const char* document : {"catalogo.xml", "statistiche.xml"}) {
            auto load = cli({"load", "--company", "01", "--file", std::string(TORVANE_TEST_SOURCE_DIR "/script/") + document});
            ASSERT_EQ(load.exitCode, 0) << document << load.out << load.err;
        }
    }
    ProcessResult cli(std::vector<std::string> words) {
        words.insert(words.begin(), {"--data-dir", data});
        return runProcess(TORVANE_CLI_PATH, words, std::nullopt);
    }
    ProcessResult script(const std::string& text) {
        writeFile(dir.file("prova.txt"), text);
        return cli({"script", "--company", "01", dir.file("prova.txt")});
    }
};

TEST_F(ClientDetailScript, TheDetailOpensFromTheClientListAndFromTheOrder) {
    auto run = script(R"S(tap 0 0
accessory 0 1
expect "== Rossi Tessuti =="
expect "Saldo Contabile | 1.234,00"
expect "AI12 MT | 213 |   3 | 2.550 | 12,0"
expect "LANA | 213 |    3 | 2.550 | 12.0"
expect-not "CARTELLA"
expect "Mario Agente"
button Orizzontale
expect "-- 0 Collezione AI12 - Articoli in produzione --"
expect "LANA | 13 | 0 | 0 | 150 | 3 | 200 | 2.400 | 2.550"
expect "-- 1 Collezione AI12 - Solo T+CC --"
expect "CARTELLA |   4"
back
back
tap 0 1
expect "<0: Rossi Tessuti>"
accessory 0 0
expect "-- 1 Sintesi per Collezione --"
tap 1 1
expect "Collezione AI12 - Solo T+CC"
)S");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
}

}  // namespace
