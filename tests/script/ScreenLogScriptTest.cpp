// The log lines the screens write, read from what the real torvane-cli logs while a script
// drives them (pref_agente is "AG01;"), one test per screen; and "Prev." after a restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "support/CliFolder.h"

using namespace torvane::test;

namespace {

struct ScreenLog : CliFolder {
    std::vector<std::string> lines;

    // Runs the script, which must succeed, and keeps what it logged, line by line.
    void run(const std::string& text) {
        auto result = cli({"script", "--company", "01", "--verbose", "-"}, text);
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err.substr(result.err.size() - std::min<std::size_t>(result.err.size(), 2000));
        lines.clear();
        std::istringstream log(result.err);
        for (std::string line; std::getline(log, line);) lines.push_back(line);
    }
    long count(const std::string& line) const { return std::count(lines.begin(), lines.end(), line); }
    // Whether `second` is the line right after a `first`.
    bool follows(const std::string& first, const std::string& second) const {
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            if (lines[i] == first && lines[i + 1] == second) return true;
        return false;
    }
};

// Client Rossi, two metres of ART1 in colour 001.
const char* kRiga = "tap 0 0\nsearch ross\ntap 0 0\nscan 100001\nscan 10000\ntype 4 2\nbutton Conferma\n";

}  // namespace

TEST_F(ScreenLog, OrderEntryLogsEveryAgentCodeAndOneLineComingAndGoing) {
    run("tap 0 0\ntap 0 0\ntap 1 0\nback\n");
    EXPECT_EQ(count("Agente Codice=AG01"), 1);
    EXPECT_EQ(count("Agente Codice="), 1) << "the empty part after the last \";\" too";
    EXPECT_GE(count("Connessione allo scanner ..."), 2);
    EXPECT_EQ(count("Connessione allo scanner"), 0);
    EXPECT_EQ(count("viewWillDisappear Disconessione dallo scanner"), 2) << "to the client list, to the picker";
    EXPECT_EQ(count("Disconessione dallo scanner"), 0);
}

TEST_F(ScreenLog, TheNewClientFormNamesTheScannerStatesInItsOwnWords) {
    run("tap 0 0\nbutton +\nback\n");
    EXPECT_EQ(count("Connessione allo scanner"), 1);
    EXPECT_TRUE(follows("Sled: Status changed (1)", "Stato dello scanner: in connessione"));
    EXPECT_TRUE(follows("Sled: Status changed (2)", "Stato dello scanner: connesso"));
    EXPECT_TRUE(follows("Disconessione dallo scanner", "Sled: Status changed (0)"));
    EXPECT_TRUE(follows("Sled: Status changed (0)", "Stato dello scanner: disconnesso"));
}

TEST_F(ScreenLog, TheReviewLogsTheSignatureTheEmptyPadAndNothingElse) {
    defaults({"pref_FIRMAENABLED", "YES", "--type", "bool"});
    run(std::string(kRiga) + "button Fine\nbutton firma\nbutton Conferma\nbutton firma\nsign 10,10 40,60 90,20\n"
                             "button Conferma\nexpect \"== Rossi Tessuti ==\"\n");
    EXPECT_EQ(count("SignaturePad signaturePadDidCompleteWithNoData"), 1);
    EXPECT_EQ(count("-- Firma completata. --"), 1);
    auto hash = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("Hash value: ", 0) == 0; });
    ASSERT_NE(hash, lines.end());
    EXPECT_EQ(hash->size(), 12u + 40u);
    ASSERT_NE(hash + 1, lines.end());
    EXPECT_EQ((hash + 1)->rfind("Frame: {{", 0), 0u) << *(hash + 1);
}

TEST_F(ScreenLog, PrevIsOfferedAgainAfterARestart) {
    run(std::string(kRiga) + "expect \"[ART1]\"\n");
    run("expect \"R. 2\"\nexpect \"[ART1]\"\n");
}
