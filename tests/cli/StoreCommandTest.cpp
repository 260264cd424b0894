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
