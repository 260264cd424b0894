// torvane-cli's own rules: its options and words, the defaults it reads and writes, and the
// store it opens, each on an empty data folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/CliFolder.h"

using namespace torvane::test;
namespace fs = std::filesystem;

namespace {
struct Cli : CliData {
    void expectUsageError(const std::vector<std::string>& words) {
        auto result = cli(words);
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(words) << "\n" << result.out;
        EXPECT_NE(result.err.find("uso:\n"), std::string::npos) << ::testing::PrintToString(words) << "\n" << result.err;
    }
    std::string preferences() const { return data + "/Preferences/preferences.json"; }
};
}  // namespace

TEST_F(Cli, AnEmptyDataFolderIsRefusedRatherThanTakenForTheUsersOwn) {
    auto result = runProcess(TORVANE_CLI_PATH, {"--data-dir", "", "defaults", "read"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("--data-dir"), std::string::npos) << result.err;
    auto help = runProcess(TORVANE_CLI_PATH, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("defaults write"), std::string::npos);
}

TEST_F(Cli, EveryCommandRefusesUnknownOptionsAndStrayWordsWithItsUsage) {
    writeFile(dir.file("x.xml"), "<TorvaneMobile/>");
    expectUsageError({"load", "--file", dir.file("x.xml"), "--bogus", "extra"});
    expectUsageError({"load", "--file", dir.file("x.xml"), "extra"});
    expectUsageError({"store", "--bogus"});
    expectUsageError({"store", "--company", "01", "extra"});
    expectUsageError({"export", "--order", "1", "--format", "xml", "--bogus"});
    expectUsageError({"defaults", "read", "--bogus"});
    EXPECT_EQ(cli({"sconosciuto"}).exitCode, 2);
    EXPECT_FALSE(fs::exists(data + "/Documents")) << "a refused command opens no store";

    // After "--" a word beginning with "--" is a key or a value like any other.
    EXPECT_EQ(cli({"defaults", "write", "--", "--chiave", "--valore"}).exitCode, 0);
    EXPECT_EQ(cli({"defaults", "read", "--", "--chiave"}).out, "--valore\n");
}

TEST_F(Cli, NumericOptionsTakePlainDigitsWithinTheirRangeOnly) {
    writeFile(dir.file("x.xml"), "<TorvaneMobile/>");
    for (const char* pause : {"99999999999999999999", "600001", "abc", "-5", "+5", "5ms", ""})
        expectUsageError({"load", "--pause-ms", pause, "--file", dir.file("x.xml")});
    for (const char* order : {"-1", "1e3", "0x10", "99999999999999999999"})
        expectUsageError({"export", "--order", order, "--format", "xml"});
    EXPECT_EQ(cli({"load", "--pause-ms", "0", "--file", dir.file("x.xml")}).exitCode, 3) << "taken, then refused as no catalogue";
}

TEST_F(Cli, DefaultsAreWrittenReadAndDeletedWithTypesFromTheKeyTable) {
    defaults({"pref_user", "mario rossi"});
    defaults({"pref_TCCENABLED", "YES"});
    defaults({"pref_LENBARCODECOLORE", "7"});
    defaults({"altro", "-2.5e3", "--type", "real"});
    EXPECT_EQ(cli({"defaults", "read", "pref_TCCENABLED"}).out, "1\n");
    EXPECT_EQ(cli({"defaults", "read"}).out,
              "altro -2500\npref_LENBARCODECOLORE 7\npref_TCCENABLED 1\npref_user mario rossi\n");

    EXPECT_EQ(cli({"defaults", "delete", "pref_user"}).exitCode, 0);
    auto absent = cli({"defaults", "read", "pref_user"});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_EQ(absent.out, "");
    EXPECT_NE(absent.err.find("pref_user"), std::string::npos);
}

TEST_F(Cli, BadDefaultsAreRefusedAndLeaveTheFileAsItWas) {
    defaults({"pref_user", "mario"});
    const std::string before = readFile(preferences());
    const std::vector<std::vector<std::string>> refused = {
        {"pref_LENBARCODECOLORE", "5x"}, {"pref_TCCENABLED", "forse"}, {"k", "v", "--type", "colore"}, {"solo-chiave"},
        {"k\xff", "v"}, {"k", "v\xc3("}, {"", "v"}};
    for (auto words : refused) {
        words.insert(words.begin(), {"defaults", "write"});
        EXPECT_EQ(cli(words).exitCode, 2) << ::testing::PrintToString(words);
    }
    for (const char* real : {"nan", "NAN", "inf", "-inf", "infinity", "1e999", "0x1p3", " 2.5"})
        EXPECT_EQ(cli({"defaults", "write", "k", real, "--type", "real"}).exitCode, 2) << real;
    EXPECT_EQ(cli({"defaults", "rename", "a", "b"}).exitCode, 2);
    EXPECT_NE(cli({"defaults", "write", "k\xff", "v"}).err.find("UTF-8"), std::string::npos);

    EXPECT_EQ(readFile(preferences()), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(data + "/Preferences"), {}), 1)
        << "no temporary file left beside the preferences";
}

TEST_F(Cli, StoreCreatesTheCompanysStoreAndCountsEveryEntityWithoutChangingThePreferences) {
    auto result = cli({"store", "--company", "42"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(fs::exists(data + "/Documents/Database42.sqllite"));
    EXPECT_NE(result.out.find("\nCliente 0\n"), std::string::npos);
    EXPECT_NE(result.out.find("\nSceltaTestata 0\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(preferences())) << "the company is for this run only";

    // A folder in the store file's place cannot be opened.
    fs::create_directories(data + "/Documents/Database7.sqllite");
    auto refused = cli({"store", "--company", "7"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Non accedo al Database !!!"), std::string::npos);
}

TEST_F(Cli, CompanyCodesThatAreNotPlainCodesNeverBecomeFileNames) {
    writeFile(dir.file("x.xml"), "<TorvaneMobile/>");
    for (const std::string& company : std::vector<std::string>{"../../../../X", "a/b", "01\n", "caf\xc3\xa9", "\xff", ".",
                                                               std::string(33, 'A'), std::string(32, 'A') + "-_z9"}) {
        for (std::vector<std::string> command : {std::vector<std::string>{"store"},
                                                 {"load", "--file", dir.file("x.xml")},
                                                 {"export", "--order", "1", "--format", "xml"},
                                                 {"script", "-"}}) {
            command.insert(command.end(), {"--company", company});
            EXPECT_EQ(cli(command).exitCode, 2) << command[0] << " " << company;
        }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "only the file to load";
    EXPECT_EQ(cli({"store", "--company", "Az-_09"}).exitCode, 0);

    // A code kept in the preferences is checked too: no store, the usual refusal.
    defaults({"pref_aziendaAttiva", "../X"});
    auto refused = cli({"store"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Non accedo al Database !!!"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.file("DatabaseX.sqllite")));
    EXPECT_FALSE(fs::exists(data + "/DatabaseX.sqllite"));
}

TEST_F(Cli, ReadOnlyCommandsNeverRewriteThePreferences) {
    defaults({"pref_user", "mario"});
    const std::string before = readFile(preferences());
    const auto written = fs::last_write_time(preferences());
    EXPECT_EQ(cli({"store"}).exitCode, 0);
    EXPECT_EQ(cli({"export", "--order", "1", "--format", "xml"}).exitCode, 1);
    EXPECT_TRUE(fs::exists(data + "/Documents/Database999.sqllite")) << "the first opening's company";
    EXPECT_EQ(readFile(preferences()), before);
    EXPECT_EQ(fs::last_write_time(preferences()), written);
}
