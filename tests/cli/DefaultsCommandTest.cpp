#include <gtest/gtest.h>

#include <filesystem>

#include "support/Process.h"
#include "support/TempDir.h"

using namespace torvane;

namespace {
struct DefaultsCli : ::testing::Test {
    test::TempDir dir;
    test::ProcessResult cli(std::vector<std::string> words) {
        words.insert(words.begin(), {"--data-dir", dir.path().string()});
        return test::runProcess(TORVANE_CLI_PATH, words);
    }
};
}  // namespace

TEST_F(DefaultsCli, WriteReadDeleteWithTypesFromTheKeyTable) {
    EXPECT_EQ(cli({"defaults", "write", "pref_user", "mario rossi"}).exitCode, 0);
    EXPECT_EQ(cli({"defaults", "write", "pref_TCCENABLED", "YES"}).exitCode, 0);
    EXPECT_EQ(cli({"defaults", "write", "pref_LENBARCODECOLORE", "7"}).exitCode, 0);
    EXPECT_EQ(cli({"defaults", "write", "altro", "2.5", "--type", "real"}).exitCode, 0);

    EXPECT_EQ(cli({"defaults", "read", "pref_user"}).out, "mario rossi\n");
    EXPECT_EQ(cli({"defaults", "read", "pref_TCCENABLED"}).out, "1\n");
    EXPECT_EQ(cli({"defaults", "read", "pref_LENBARCODECOLORE"}).out, "7\n");
    EXPECT_EQ(cli({"defaults", "read"}).out,
              "altro 2.5\npref_LENBARCODECOLORE 7\npref_TCCENABLED 1\npref_user mario rossi\n");

    EXPECT_EQ(cli({"defaults", "delete", "pref_user"}).exitCode, 0);
    auto absent = cli({"defaults", "read", "pref_user"});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_EQ(absent.out, "");
    EXPECT_NE(absent.err.find("pref_user"), std::string::npos);
}

TEST_F(DefaultsCli, BadValuesAndUsageAreRefusedWithoutTouchingTheStore) {
    EXPECT_EQ(cli({"defaults", "write", "pref_LENBARCODECOLORE", "5x"}).exitCode, 2);
    EXPECT_EQ(cli({"defaults", "write", "pref_TCCENABLED", "forse"}).exitCode, 2);
    EXPECT_EQ(cli({"defaults", "write", "k", "v", "--type", "colore"}).exitCode, 2);
    EXPECT_EQ(cli({"defaults", "write", "solo-chiave"}).exitCode, 2);
    EXPECT_EQ(cli({"defaults", "rename", "a", "b"}).exitCode, 2);
    EXPECT_EQ(cli({"defaults", "read"}).out, "");
    EXPECT_EQ(cli({"sconosciuto"}).exitCode, 2);
    auto help = test::runProcess(TORVANE_CLI_PATH, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("defaults write"), std::string::npos);
}

TEST_F(DefaultsCli, TextsThatAreNotUtf8AndEmptyKeysAreRefusedAndLeaveNothingBehind) {
    ASSERT_EQ(cli({"defaults", "write", "pref_user", "mario"}).exitCode, 0);
    const std::string before = test::readFile(dir.file("Preferences/preferences.json"));

    auto badKey = cli({"defaults", "write", "k\xff", "v"});
    EXPECT_EQ(badKey.exitCode, 2);
    EXPECT_NE(badKey.err.find("UTF-8"), std::string::npos) << badKey.err;
    EXPECT_EQ(cli({"defaults", "write", "k", "v\xc3("}).exitCode, 2);
    EXPECT_EQ(cli({"defaults", "write", "", "v"}).exitCode, 2);

    EXPECT_EQ(test::readFile(dir.file("Preferences/preferences.json")), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("Preferences")), {}), 1)
        << "no temporary file left beside the preferences";
}

TEST_F(DefaultsCli, RealsMustBeFiniteNumbers) {
    for (const char* text : {"nan", "NAN", "inf", "-inf", "infinity", "1e999", "0x1p3", " 2.5"})
        EXPECT_EQ(cli({"defaults", "write", "k", text, "--type", "real"}).exitCode, 2) << text;
    EXPECT_EQ(cli({"defaults", "write", "k", "-2.5e3", "--type", "real"}).exitCode, 0);
    EXPECT_EQ(cli({"defaults", "read", "k"}).out, "-2500\n");
}
