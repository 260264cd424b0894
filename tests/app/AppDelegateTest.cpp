#include "app/AppDelegate.h"
#include "AppTestSupport.h"
#include "platform/PreferenceKeys.h"
#include "store/StoreConnection.h"

using namespace torvane;

namespace {
struct StartUp : test::AppFixture {
    void SetUp() override {
        AppFixture::SetUp();
        writeSettings("Settings.bundle/Root.plist",
                      {{"pref_user", "<string>DigitaUtenteTorvane</string>"}, {"pref_TCCENABLED", "<true/>"}});
        writeSettings("Settings.bundle/LunghezzeBarcode.plist", {{"pref_LENBARCODECOLORE", "<integer>3</integer>"}});
    }
    long long count(const std::string& entity) {
        auto rows = Database::sharedDatabase()->connection()->query("SELECT COUNT(*) FROM \"" + entity + "\"");
        return std::get<long long>(rows.at(0).at(0));
    }
};
}  // namespace

TEST_F(StartUp, FirstLaunchCopiesEveryDefaultOnceAndShowsTheThreeTabs) {
    AppDelegate app(ui);
    EXPECT_TRUE(app.didFinishLaunching());

    EXPECT_TRUE(log->contains("TorvaneMobile Version " + Bundle::version()));
    EXPECT_TRUE(log->contains("Ricarico gli standardDefaults a partire dai Plist !"));
    EXPECT_TRUE(log->contains("    pref_TCCENABLED = Non settato !!"));
    EXPECT_TRUE(log->contains("    pref_TCCENABLED -> 1"));
    EXPECT_TRUE(log->contains("    pref_LENBARCODECOLORE -> 3"));
    EXPECT_EQ(prefs().stringForKey(keys::pref_user), "DigitaUtenteTorvane");
    EXPECT_EQ(prefs().integerForKey(keys::pref_LENBARCODECOLORE), 3);
    EXPECT_EQ(Preferences(prefs().filePath()).stringForKey(keys::pref_version), Bundle::version()) << "saved";

    EXPECT_TRUE(ui.sawEvent("tabs SCELTA Archivio IMPOSTAZIONI"));

    // The same version again: nothing is read from the settings files.
    log->clear();
    app.applicationWillEnterForeground();
    EXPECT_TRUE(log->contains("TorvaneMobile Version " + Bundle::version()));
    EXPECT_FALSE(log->contains("Ricarico gli standardDefaults a partire dai Plist !"));
}

TEST_F(StartUp, ANewVersionCopiesOnlyNewKeysAndKeepsWhatTheUserSet) {
    prefs().setString(keys::pref_version, "0.0.1");
    prefs().setBool(keys::pref_TCCENABLED, false);
    AppDelegate(ui).checkImpostazioni();

    EXPECT_TRUE(log->contains("    pref_TCCENABLED = 0"));
    EXPECT_FALSE(prefs().boolForKey(keys::pref_TCCENABLED));
    EXPECT_EQ(prefs().integerForKey(keys::pref_LENBARCODECOLORE), 3);
    EXPECT_EQ(prefs().stringForKey(keys::pref_version), Bundle::version());
}

TEST_F(StartUp, TheSettingsDumpNeverShowsAPassword) {
    writeSettings("Settings.bundle/Root.plist", {{"pref_password", "<string>predefinita</string>"},
                                                  {"pref_SMTPPASSWORD", "<string></string>"},
                                                  {"pref_SMTPUSER", "<string></string>"}});
    prefs().setString(keys::pref_SMTPPASSWORD, "posta-segreta");
    prefs().setString(keys::pref_SMTPUSER, "agente");
    AppDelegate(ui).checkImpostazioni();

    EXPECT_TRUE(log->contains("    pref_SMTPPASSWORD = ********"));
    EXPECT_TRUE(log->contains("    pref_password -> ********"));
    EXPECT_TRUE(log->contains("    pref_SMTPUSER = agente")) << "only secrets are masked";
    for (const std::string& line : log->lines())
        EXPECT_TRUE(line.find("segreta") == std::string::npos && line.find("predefinita") == std::string::npos) << line;
}

TEST_F(StartUp, MissingSettingsFilesCopyNothingAndStartUpGoesOn) {
    std::filesystem::remove_all(dir.file("resources"));
    AppDelegate app(ui);
    EXPECT_TRUE(app.didFinishLaunching());
    EXPECT_FALSE(prefs().hasStoredValue(keys::pref_TCCENABLED));
    EXPECT_EQ(prefs().stringForKey(keys::pref_version), Bundle::version());
    EXPECT_TRUE(ui.sawEvent("tabs SCELTA Archivio IMPOSTAZIONI"));
}

TEST_F(StartUp, ADeletionRequestEmptiesTheCatalogueKeepsTheOrdersAndClearsTheFlag) {
    prefs().setString(keys::pref_version, Bundle::version());
    prefs().setString(keys::pref_aziendaAttiva, "T");
    prefs().setString(keys::pref_azienda, "U");
    Database::initDatabase();
    auto db = Database::sharedDatabase();
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->createArticoloWithBarCode("ART001"));
    ASSERT_TRUE(db->createClienteWithBarCode("C0001"));
    ASSERT_TRUE(db->createSceltaTestataWithCodice(1));
    db->commit();
    prefs().setBool(keys::pref_deleteDatabaseEnabled, true);

    AppDelegate(ui).checkImpostazioni();

    EXPECT_TRUE(log->contains("Cancello tutto il Database ..."));
    EXPECT_EQ(count("Articolo"), 0);
    EXPECT_EQ(count("Cliente"), 0);
    EXPECT_EQ(count("SceltaTestata"), 1);
    EXPECT_FALSE(prefs().boolForKey(keys::pref_deleteDatabaseEnabled));
    EXPECT_FALSE(Preferences(prefs().filePath()).hasStoredValue(keys::pref_deleteDatabaseEnabled)) << "saved";
    EXPECT_TRUE(log->contains("Vorrei cambiare il DB (da T a U)"));
}
