// The device settings screen built from the shipped settings file: what it shows, what it
// writes, and that leaving it works like coming back to the application.
#include "app/AppDelegate.h"
#include "app/AppTestSupport.h"
#include "app/ImpostazioniDispositivoViewController.h"
#include "screens/ComboViewController.h"
#include "platform/PreferenceKeys.h"

using namespace torvane;
using namespace torvane::test;

TEST_F(AppFixture, DeviceSettingsShowTheShippedFileAndWriteThePreferencesAtOnce) {
    Bundle::setResourcesDir(TORVANE_RESOURCES_SOURCE_DIR);
    AppDelegate delegate(ui);
    delegate.didFinishLaunching();
    auto screen = std::make_shared<ImpostazioniDispositivoViewController>(ui);
    ui.selectTab(2);
    ui.push(*delegate.impostazioniController, screen);

    auto sections = screen->sections();
    ASSERT_FALSE(sections.empty());
    EXPECT_EQ(sections[0].title, "Utente");
    // Every kind of entry is drawn: switches by their title, fields with their value, choices.
    auto find = [&](const std::string& title) -> std::pair<int, int> {
        for (std::size_t s = 0; s < sections.size(); ++s)
            for (std::size_t r = 0; r < sections[s].rows.size(); ++r)
                for (const auto& item : sections[s].rows[r].items) {
                    if (auto* l = std::get_if<ui::Label>(&item); l && l->text == title) return {int(s), int(r)};
                    if (auto* t = std::get_if<ui::Switch>(&item); t && t->title == title) return {int(s), int(r)};
                }
        return {-1, -1};
    };
    const auto tcc = find("T+CC");
    ASSERT_GE(tcc.first, 0);
    screen->switchChanged("pref_TCCENABLED", false, {tcc.first, tcc.second});
    EXPECT_FALSE(prefs().boolForKey(keys::pref_TCCENABLED));
    const auto tipo = find("Tipo Ordine");
    ASSERT_GE(tipo.first, 0);
    screen->didSelectRow(tipo.first, tipo.second);
    auto* picker = dynamic_cast<ComboViewController*>(ui.visible());
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->lista(), (std::vector<std::string>{"Campionario", "Produzione", "Stock"}));
    picker->didSelectRow(0, 2);
    EXPECT_EQ(prefs().stringForKey(keys::pref_TIPOORDINE), "S");
    const auto utente = find("Utente");
    screen->textFieldDidEndEditing(utente.first * 1000 + utente.second, "anna");
    EXPECT_EQ(prefs().stringForKey(keys::pref_user), "anna");

    // A deletion asked for here is honoured on leaving, as on coming back to the application.
    prefs().setBool(keys::pref_deleteDatabaseEnabled, true);
    prefs().setString(keys::pref_aziendaAttiva, "01");
    Database::initDatabase();
    ui.pop(*screen);
    EXPECT_TRUE(log->contains("Cancello tutto il Database ..."));
    EXPECT_FALSE(prefs().hasStoredValue(keys::pref_deleteDatabaseEnabled));
}
