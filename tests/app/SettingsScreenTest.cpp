// The settings tab: the download it starts, what it records and reports, and the one-shot
// maintenance switches.
#include <filesystem>
#include <thread>

#include "app/AppTestSupport.h"
#include "app/ImpostazioniViewController.h"
#include "platform/CompanyCode.h"
#include "session/CompanySession.h"
#include "photos/FotoCache.h"
#include "loader/LoaderTestSupport.h"
#include "mail/MailMessage.h"
#include "mail/Outbox.h"
#include "mail/OutboxSender.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"

using namespace torvane;
using namespace torvane::test;

namespace {

struct SettingsScreen : AppFixture {
    DocumentServer server;
    std::shared_ptr<ImpostazioniViewController> screen;
    void SetUp() override {
        AppFixture::SetUp();
        prefs().setString(keys::pref_aziendaAttiva, "01");
        prefs().setString(keys::pref_user, "mario");
        Database::initDatabase();
        ASSERT_TRUE(Database::sharedDatabase());
        screen = std::make_shared<ImpostazioniViewController>(ui, CompanySession::over(Database::sharedDatabase()));
        ui.showTabs({{"IMPOSTAZIONI", "gear", screen}});
    }
    std::string shown() {
        std::string text;
        for (const auto& section : screen->sections())
            for (const auto& row : section.rows)
                for (const auto& item : row.items)
                    if (auto* label = std::get_if<ui::Label>(&item)) text += label->text + "\n";
        return text;
    }
};

}  // namespace

TEST_F(SettingsScreen, ADownloadRecordsItsDateShowsItsProgressAndReportsItsResult) {
    prefs().setString(keys::pref_HTTPSERVER, "http://");
    screen->caricaListinoTap();
    EXPECT_TRUE(ui.sawAlert(std::nullopt, "Manca l'indirizzo HTTP !!!"));
    EXPECT_EQ(shown().find("Aggiorna"), std::string::npos) << "a refused download records no date";

    prefs().setString(keys::pref_HTTPSERVER, "http://127.0.0.1:1/");
    screen->caricaListinoTap();
    EXPECT_TRUE(screen->caricamentoInCorso()) << "the result comes on the main thread";
    EXPECT_TRUE(ui.keepAwake());
    ui.drainMain();
    EXPECT_FALSE(screen->caricamentoInCorso());
    EXPECT_FALSE(ui.keepAwake());
    EXPECT_TRUE(ui.sawAlert("Errore connessione!!!", "Controlla indirizzo HTTP"));
    EXPECT_NE(shown().find("Aggiornato il "), std::string::npos) << "the attempt's date stays after a failure";

    server.serve("/01.L1.xml", document("<ClientiFornitori><ClienteFornitore BarCode=\"B1\"><Codice>C1</Codice>"
                                        "</ClienteFornitore></ClientiFornitori>"));
    prefs().setString(keys::pref_HTTPSERVER, server.url("/"));
    ui.clearEvents();
    screen->caricaListinoTap();
    ui.drainMain();
    ASSERT_TRUE(ui.lastAlert());
    EXPECT_EQ(ui.lastAlert()->title, "Completato !!");
    EXPECT_EQ(ui.lastAlert()->message.rfind("Per essere precisi, ho caricato\nClienti:1 Tags:", 0), 0u) << ui.lastAlert()->message;
    EXPECT_EQ(server.requested().back(), "/01.L1.xml");
}

TEST_F(SettingsScreen, DeletingPhotosUnderACodeThatIsNotPlainLeavesEveryOtherFolder) {
    const std::string store = Paths::documents() + "/Database01.sqllite";
    const std::string mine = FotoCache::folderFor(*CompanyCode::from("01"));
    ASSERT_TRUE(std::filesystem::exists(store));
    for (const char* code : {"01/..", "../x", ".."}) {
        std::filesystem::create_directories(mine);
        prefs().setString(keys::pref_aziendaAttiva, code);
        prefs().setBool(keys::pref_deleteFotoEnabled, true);
        screen->viewWillAppear();
        EXPECT_TRUE(std::filesystem::exists(store)) << code;
        EXPECT_FALSE(std::filesystem::exists(mine)) << "the open store's company, whatever the preferences say: " << code;
    }
}

TEST_F(SettingsScreen, TheMaintenanceSwitchesRunOnceAndTheOrderCountFollows) {
    auto db = Database::sharedDatabase();
    db->createSceltaTestataWithCodice(1)->setStatus(0);
    db->commit();
    const std::string mine = FotoCache::folderFor(*CompanyCode::from("01")),
                      other = FotoCache::folderFor(*CompanyCode::from("02"));
    for (const auto& folder : {mine, other}) {
        std::filesystem::create_directories(folder);
        std::ofstream(folder + "/ART1-SMALL.jpeg") << "x";
    }
    screen->viewWillAppear();
    EXPECT_NE(shown().find("Ordini nel Database: 1"), std::string::npos);
    prefs().setBool(keys::pref_deleteFotoEnabled, true);
    prefs().setBool(keys::pref_deleteOrdiniEnabled, true);
    screen->viewWillAppear();
    EXPECT_FALSE(std::filesystem::exists(mine));
    EXPECT_TRUE(std::filesystem::exists(other)) << "only the active company's photos go";
    EXPECT_TRUE(log->contains("      1: ART1-SMALL.jpeg"));
    EXPECT_NE(shown().find("Nessun Ordine da inviare"), std::string::npos);
    EXPECT_FALSE(prefs().hasStoredValue(keys::pref_deleteFotoEnabled));
    EXPECT_FALSE(prefs().hasStoredValue(keys::pref_deleteOrdiniEnabled));
    screen->inviaScelteTap();
    EXPECT_TRUE(ui.sawAlert(std::nullopt, "Nessuna Scelta presente !!!"));
}

namespace {
// A platform whose background work waits until the test lets it run.
struct HeldBackgroundUi : FakeUi {
    std::vector<std::function<void()>> held;
    void runInBackground(std::function<void()> work) override { held.push_back(std::move(work)); }
};
}  // namespace

TEST_F(AppFixture, ASecondPressWhileADownloadRunsDoesNothing) {
    HeldBackgroundUi held;
    prefs().setString(keys::pref_aziendaAttiva, "01");
    prefs().setString(keys::pref_HTTPSERVER, "http://127.0.0.1:1/");
    Database::initDatabase();
    auto screen = std::make_shared<ImpostazioniViewController>(held, CompanySession::over(Database::sharedDatabase()));
    held.showTabs({{"IMPOSTAZIONI", "gear", screen}});
    screen->caricaListinoTap();
    screen->caricaListinoTap();
    EXPECT_EQ(held.held.size(), 1u);
    ASSERT_FALSE(screen->sections().empty());
    EXPECT_EQ(screen->sections().front().title, "Aggiornamento") << "the panel is over the screen while it runs";
    held.held.front()();
    held.drainMain();
    EXPECT_FALSE(screen->caricamentoInCorso());
}

TEST_F(SettingsScreen, TheOutboxShowsWhatWaitsWhyAndSendsWhenAsked) {
    screen->viewWillAppear();
    EXPECT_NE(shown().find("Nessun messaggio in uscita"), std::string::npos) << shown();
    MailDraft draft;
    draft.to = {"cliente@example.it"};
    draft.subject = "Ordine";
    for (int n = 0; n < 2; ++n) ASSERT_TRUE(Outbox().save(MailMessage::build(draft, "agente@azienda.it", std::chrono::system_clock::now())));
    // A server that is down: the background sender tries, fails, and the screen hears of it.
    prefs().setString(keys::pref_SMTPSERVER, "smtp://127.0.0.1:1");
    {
        OutboxSender sender;
        screen->viewWillAppear();
        EXPECT_NE(shown().find("Messaggi in uscita: 2"), std::string::npos) << shown();
        screen->buttonTapped("inviaPostaTap", {});
        for (int i = 0; i < 1000 && sender.runs() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }  // the sender's last word is posted before it ends
    ui.drainMain();
    EXPECT_NE(shown().find("Messaggi in uscita: 2\nUltimo errore: Couldn't connect to server"), std::string::npos) << shown();
    EXPECT_TRUE(std::get<ui::Button>(screen->sections()[2].rows.back().items[0]).enabled);
}
