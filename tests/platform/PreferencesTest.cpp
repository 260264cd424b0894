#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "support/TempDir.h"

using namespace torvane;
using test::TempDir;

namespace {
struct PreferencesFile : ::testing::Test {
    TempDir dir;
    std::string path = dir.file("Preferences/torvane.json");
};
}  // namespace

TEST_F(PreferencesFile, EveryTypeSurvivesSynchronizeAndReopen) {
    {
        Preferences prefs(path);
        prefs.setString("pref_user", "mario");
        prefs.setBool("pref_TCCENABLED", true);
        prefs.setInteger("pref_LENBARCODEARTICOLO", 6);
        prefs.setDouble("pref_reale", 2.5);
        PreferenceRecord record{{"codice", std::string("A01")},
                                {"userLegacyCode", std::vector<std::string>{"12", "34"}}};
        prefs.setObject("SYSTEM_AAA", PreferenceRecords{record});
        ASSERT_TRUE(prefs.synchronize());
    }
    Preferences reopened(path);
    EXPECT_EQ(reopened.stringForKey("pref_user"), "mario");
    EXPECT_TRUE(reopened.boolForKey("pref_TCCENABLED"));
    EXPECT_EQ(reopened.integerForKey("pref_LENBARCODEARTICOLO"), 6);
    EXPECT_DOUBLE_EQ(reopened.doubleForKey("pref_reale"), 2.5);
    auto records = reopened.recordsForKey("SYSTEM_AAA");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(std::get<std::string>(records[0].at("codice")), "A01");
    EXPECT_EQ(std::get<std::vector<std::string>>(records[0].at("userLegacyCode")),
              (std::vector<std::string>{"12", "34"}));
    // Types stay what they were: a boolean is not read back as a number or a text.
    EXPECT_TRUE(std::holds_alternative<bool>(*reopened.objectForKey("pref_TCCENABLED")));
    EXPECT_TRUE(std::holds_alternative<long long>(*reopened.objectForKey("pref_LENBARCODEARTICOLO")));
}

TEST_F(PreferencesFile, AbsentKeysReadAsNothingAndRegisteredDefaultsAreFallbacksNeverStored) {
    Preferences prefs(path);
    EXPECT_FALSE(prefs.stringForKey("pref_azienda").has_value());
    EXPECT_FALSE(prefs.boolForKey("pref_azienda"));
    EXPECT_EQ(prefs.integerForKey("pref_azienda"), 0);
    EXPECT_TRUE(prefs.recordsForKey("SYSTEM_AAA").empty());
    prefs.registerDefaults({{"pref_LENBARCODECOLORE", 5LL}, {"pref_TIPOORDINE", std::string("C")}});
    EXPECT_EQ(prefs.integerForKey("pref_LENBARCODECOLORE"), 5);
    EXPECT_FALSE(prefs.hasStoredValue("pref_LENBARCODECOLORE"));
    prefs.setInteger("pref_LENBARCODECOLORE", 7);
    EXPECT_EQ(prefs.integerForKey("pref_LENBARCODECOLORE"), 7);
    prefs.removeObjectForKey("pref_LENBARCODECOLORE");
    EXPECT_EQ(prefs.integerForKey("pref_LENBARCODECOLORE"), 5) << "removing reveals the fallback";
    ASSERT_TRUE(prefs.synchronize());
    Preferences reopened(path);
    EXPECT_FALSE(reopened.objectForKey("pref_TIPOORDINE").has_value());
    EXPECT_TRUE(reopened.storedEntries().empty());
}

TEST(PreferenceConversions, ReadAsThePlatformDoes) {
    // Only y/t words and non-zero numbers are true ("SI" is not).
    for (const char* yes : {"YES", "yes", "true", "1", "  7"})
        EXPECT_TRUE(Preferences::valueAsBool(std::string(yes))) << yes;
    for (const char* no : {"NO", "0", "", "SI"}) EXPECT_FALSE(Preferences::valueAsBool(std::string(no))) << no;
    EXPECT_TRUE(Preferences::valueAsBool(2LL));
    const std::pair<PreferenceValue, long long> integers[] = {
        {std::string("12abc"), 12}, {std::string("  -4"), -4}, {std::string("abc"), 0}, {true, 1}, {9.9, 9}};
    for (const auto& [value, expected] : integers)
        EXPECT_EQ(Preferences::valueAsInteger(value), expected) << Preferences::describe(value);
    EXPECT_EQ(Preferences::describe(true), "1");
    EXPECT_EQ(Preferences::describe(12LL), "12");
}

TEST_F(PreferencesFile, DamagedFileIsLoggedKeptAsideAndReplacedByEmptyDefaults) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    test::writeFile(path, "{\"pref_user\": \"mario\", tronc");
    Log::capture()->clear();
    Preferences prefs(path);
    EXPECT_TRUE(Log::capture()->contains("Preferenze danneggiate in " + path +
                                        ": riparto dai valori standard"));
    EXPECT_TRUE(prefs.storedEntries().empty());
    EXPECT_TRUE(std::filesystem::exists(path + ".danneggiato"));
    prefs.setString("pref_user", "luigi");
    ASSERT_TRUE(prefs.synchronize());
    EXPECT_EQ(Preferences(path).stringForKey("pref_user"), "luigi");
}

TEST_F(PreferencesFile, SynchronizeReplacesTheFileWholeOrFailsWithoutLosingValues) {
    Preferences prefs(path);
    prefs.setString("pref_user", "mario");
    ASSERT_TRUE(prefs.synchronize());
    prefs.setString("pref_user", "anna");
    ASSERT_TRUE(prefs.synchronize());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()), {}), 1)
        << "no temporary left";
    EXPECT_NE(test::readFile(path).find("anna"), std::string::npos);

    Preferences unwritable("/proc/torvane-cannot-write/prefs.json");
    unwritable.setString("pref_user", "mario");
    EXPECT_FALSE(unwritable.synchronize());
    EXPECT_EQ(unwritable.stringForKey("pref_user"), "mario");
}

TEST(PreferenceKeyTable, NamesAreUniqueAndLookedUp) {
    for (size_t i = 0; i < kAllKeys.size(); ++i)
        for (size_t j = i + 1; j < kAllKeys.size(); ++j) EXPECT_NE(kAllKeys[i].name, kAllKeys[j].name);
    EXPECT_EQ(keyInfo("SYSTEM_ProgressivoOrdine")->place, KeyPlace::Parametro);
    EXPECT_FALSE(keyInfo("pref_sconosciuta").has_value());
}
