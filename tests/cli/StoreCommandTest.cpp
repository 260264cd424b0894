#include <gtest/gtest.h>

#include <filesystem>

#include "support/Process.h"
#include "support/TempDir.h"

using namespace torvane;

TEST(StoreCli, CreatesTheCompanysStoreAndCountsEveryEntityWithoutChangingThePreferences) {
    test::TempDir dir;
    auto result = test::runProcess(TORVANE_CLI_PATH, {"--data-dir", dir.path().string(), "store", "--company", "42"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(std::filesystem::exists(dir.file("Documents/Database42.sqllite")));
    EXPECT_NE(result.out.find("\nCliente 0\n"), std::string::npos);
    EXPECT_NE(result.out.find("\nSceltaTestata 0\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("Preferences/preferences.json"))) << "the company is for this run only";

    // A folder in the store file's place cannot be opened.
    std::filesystem::create_directories(dir.file("Documents/Database7.sqllite"));
    auto refused = test::runProcess(TORVANE_CLI_PATH, {"--data-dir", dir.path().string(), "store", "--company", "7"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Non accedo al Database !!!"), std::string::npos);
}

TEST(StoreCli, CompanyCodesThatAreNotPlainCodesNeverBecomeFileNames) {
    test::TempDir dir;
    const std::string data = dir.file("data");
    test::writeFile(dir.file("x.xml"), "<TorvaneMobile/>");
    for (const std::string& company :
         std::vector<std::string>{"../../../../X", "a/b", "01\n", "caf\xc3\xa9", "\xff", ".", std::string(33, 'A')}) {
        for (std::vector<std::string> command : {std::vector<std::string>{"store"},
                                                 {"load", "--file", dir.file("x.xml")},
                                                 {"export", "--order", "1", "--format", "xml"}}) {
            command.insert(command.begin(), {"--data-dir", data});
            command.insert(command.end(), {"--company", company});
            auto result = test::runProcess(TORVANE_CLI_PATH, command);
            EXPECT_EQ(result.exitCode, 2) << command[2] << " " << company;
        }
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "only the file to load";
    EXPECT_FALSE(std::filesystem::exists(data));

    // A code kept in the preferences is checked too: no store, the usual refusal.
    ASSERT_EQ(test::runProcess(TORVANE_CLI_PATH, {"--data-dir", data, "defaults", "write", "pref_aziendaAttiva", "../X"})
                  .exitCode,
              0);
    auto refused = test::runProcess(TORVANE_CLI_PATH, {"--data-dir", data, "store"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Non accedo al Database !!!"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("DatabaseX.sqllite")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("data/DatabaseX.sqllite")));

    auto longest = test::runProcess(TORVANE_CLI_PATH, {"--data-dir", data, "store", "--company", std::string(32, 'A') + "-_z9"});
    EXPECT_EQ(longest.exitCode, 2) << "36 characters";
    EXPECT_EQ(test::runProcess(TORVANE_CLI_PATH, {"--data-dir", data, "store", "--company", "Az-_09"}).exitCode, 0);
}

TEST(StoreCli, ReadOnlyCommandsNeverRewriteThePreferences) {
    test::TempDir dir;
    ASSERT_EQ(test::runProcess(TORVANE_CLI_PATH, {"--data-dir", dir.path().string(), "defaults", "write", "pref_user", "mario"})
                  .exitCode,
              0);
    const auto file = dir.file("Preferences/preferences.json");
    const std::string before = test::readFile(file);
    const auto written = std::filesystem::last_write_time(file);

    EXPECT_EQ(test::runProcess(TORVANE_CLI_PATH, {"--data-dir", dir.path().string(), "store"}).exitCode, 0);
    EXPECT_EQ(test::runProcess(TORVANE_CLI_PATH, {"--data-dir", dir.path().string(), "export", "--order", "1", "--format", "xml"})
                  .exitCode,
              1);
    EXPECT_TRUE(std::filesystem::exists(dir.file("Documents/Database999.sqllite"))) << "the first opening's company";
    EXPECT_EQ(test::readFile(file), before);
    EXPECT_EQ(std::filesystem::last_write_time(file), written);
}
