// The client detail through torvane-cli on what the loader made of a statistics and exposure
// document for C001 "Rossi Tessuti" (collection AI12 in metres, a balance of 1234,56): opened
// from the client list and from the order. The figures' rules are the controllers' tests.
#include <gtest/gtest.h>

#include "support/CliFolder.h"

using namespace torvane::test;

namespace {

struct ClientDetailScript : CliFolder {
    void SetUp() override {
        CliFolder::SetUp();
        auto load = cli({"load", "--company", "01", "--file", TORVANE_TEST_SOURCE_DIR "/script/statistiche.xml"});
        ASSERT_EQ(load.exitCode, 0) << load.out << load.err;
    }
};

TEST_F(ClientDetailScript, TheDetailOpensFromTheClientListAndFromTheOrder) {
    auto run = cli({"script", "--company", "01", "-"}, R"S(tap 0 0
accessory 0 1
expect "== Rossi Tessuti =="
expect "Saldo Contabile | 1.234,00"
expect "AI12 MT | 213 |   3 | 2.550 | 12,0"
expect "Mario Agente"
button Orizzontale
expect "LANA | 13 | 0 | 0 | 150 | 3 | 200 | 2.400 | 2.550"
back
back
tap 0 1
expect "<0: Rossi Tessuti>"
accessory 0 0
expect "-- 1 Sintesi per Collezione --"
)S");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
}

}  // namespace
