#include <gtest/gtest.h>

#include <filesystem>

#include "support/Process.h"
#include "support/TempDir.h"

using namespace torvane;

namespace {
struct CommandLineCli : ::testing::Test {
    test::TempDir dir;
    test::ProcessResult cli(std::vector<std::string> words) {
        words.insert(words.begin(), {"--data-dir", dir.path().string()});
        return test::runProcess(TORVANE_CLI_PATH, words);
    }
    void expectUsageError(const std::vector<std::string>& words) {
        auto result = cli(words);
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(words) << "\n" << result.out;
        EXPECT_NE(result.err.find("uso:\n"), std::string::npos) << ::testing::PrintToString(words) << "\n" << result.err;
    }
};
}  // namespace

TEST_F(CommandLineCli, AnEmptyDataFolderIsRefusedRatherThanTakenForTheUsersOwn) {
    auto result = test::runProcess(TORVANE_CLI_PATH, {"--data-dir", "", "defaults", "read"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("--data-dir"), std::string::npos) << result.err;
}

TEST_F(CommandLineCli, EveryCommandRefusesUnknownOptionsAndStrayWordsWithItsUsage) {
    test::writeFile(dir.file("x.xml"), "<TorvaneMobile/>");
    expectUsageError({"load", "--file", dir.file("x.xml"), "--bogus", "extra"});
    expectUsageError({"load", "--file", dir.file("x.xml"), "extra"});
    expectUsageError({"store", "--bogus"});
    expectUsageError({"store", "--company", "01", "extra"});
    expectUsageError({"export", "--order", "1", "--format", "xml", "--bogus"});
    expectUsageError({"defaults", "read", "--bogus"});
    EXPECT_FALSE(std::filesystem::exists(dir.file("Documents"))) << "a refused command opens no store";

    // After "--" a word beginning with "--" is a key or a value like any other.
    EXPECT_EQ(cli({"defaults", "write", "--", "--chiave", "--valore"}).exitCode, 0);
    EXPECT_EQ(cli({"defaults", "read", "--", "--chiave"}).out, "--valore\n");
}

TEST_F(CommandLineCli, NumericOptionsTakePlainDigitsWithinTheirRangeOnly) {
    test::writeFile(dir.file("x.xml"), "<TorvaneMobile/>");
    for (const char* pause : {"99999999999999999999", "600001", "abc", "-5", "+5", "5ms", ""})
        expectUsageError({"load", "--pause-ms", pause, "--file", dir.file("x.xml")});
    for (const char* order : {"-1", "1e3", "0x10", "99999999999999999999"})
        expectUsageError({"export", "--order", order, "--format", "xml"});
    EXPECT_EQ(cli({"load", "--pause-ms", "0", "--file", dir.file("x.xml")}).exitCode, 3) << "taken, then refused as no catalogue";
}
