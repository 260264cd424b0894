#include "app/AppDelegate.h"

#include "app/OrderScreens.h"
#include "app/ImpostazioniViewController.h"
#include "devices/ScannerDevices.h"
#include "review/ArchivioViewController.h"
#include "order/InserimentoSceltaViewController.h"
#include "platform/Bundle.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/PropertyList.h"
#include "platform/SecretText.h"
#include "platform/ui/Ui.h"
#include "session/CompanySession.h"
#include "store/Database.h"

namespace torvane {

namespace {
AppDelegate* current = nullptr;
}  // namespace

AppDelegate::AppDelegate(ui::Ui& ui) : ui_(ui), companySwitch_(ui), autenticazione_(ui) {
    current = this;
    // The login opens the store the switch's way, so it too makes the session the screens use.
    autenticazione_.setOpenStore([this] { companySwitch_.openActive(); });
    companySwitch_.setOnSession([this](const std::shared_ptr<CompanySession>& session) { giveSession(session); });
}

AppDelegate::~AppDelegate() {
    if (current == this) current = nullptr;
}

AppDelegate* AppDelegate::appDelegate() { return current; }

Preferences& AppDelegate::prefs() { return Preferences::standard(); }

bool AppDelegate::didFinishLaunching() {
    checkImpostazioni();
    startApplicazione();
    return true;
}

void AppDelegate::applicationWillEnterForeground() {
    Log::f("applicationWillEnterForeground %@", "Torvane");
    checkImpostazioni();
}

void AppDelegate::checkImpostazioni() {
    auto version = prefs().stringForKey(keys::pref_version);
    const std::string bundleVersion = Bundle::version();
    Log::f("TorvaneMobile Version %@", bundleVersion);
    if (!version || *version != bundleVersion) reconcileWithSettingsFiles();
    if (prefs().boolForKey(keys::pref_deleteDatabaseEnabled)) honourDeletionRequest();
    auto active = prefs().stringForKey(keys::pref_aziendaAttiva);
    auto requested = prefs().stringForKey(keys::pref_azienda);
    if (prefs().hasStoredValue(keys::pref_aziendaAttiva) && active && active != requested)
        Log::f("Vorrei cambiare il DB (da %@ a %@)", *active, requested.value_or(""));
}

// Once per application version: the settings files' top-level entries become fallbacks and
// every default the user has not set yet is stored. What the user set is never overwritten.
void AppDelegate::reconcileWithSettingsFiles() {
    Log::line("Ricarico gli standardDefaults a partire dai Plist !");
    const std::string settings = Bundle::settingsBundleDir();
    for (const std::string& path : {settings + "/Root.plist", Bundle::resourcesDir() + "/LunghezzeBarcode.plist"}) {
        auto plist = PropertyList::readFile(path);
        if (!plist || !plist->isDictionary()) continue;  // a missing file yields nothing
        std::map<std::string, PreferenceValue> fallbacks;
        for (const auto& [key, value] : plist->entries())
            if (auto converted = PropertyList::toPreferenceValue(value)) fallbacks.emplace(key, *converted);
        prefs().registerDefaults(fallbacks);
    }
    reconcileFile(settings + "/Root.plist");
    reconcileFile(settings + "/LunghezzeBarcode.plist");
    prefs().setString(keys::pref_version, Bundle::version());
    prefs().synchronize();
}

void AppDelegate::reconcileFile(const std::string& path) {
    Log::line("    CHIAVE = VALORE");
    auto plist = PropertyList::readFile(path);
    const PlistValue* specifiers = plist ? plist->find("PreferenceSpecifiers") : nullptr;
    if (!specifiers || !specifiers->isArray()) return;
    for (const auto& entry : specifiers->items()) {
        auto key = entry.stringFor("Key");
        if (!key) continue;  // group titles
        if (!prefs().hasStoredValue(*key)) {
            Log::f("    %@ = Non settato !!", *key);
            const PlistValue* value = entry.find("DefaultValue");
            auto converted = value ? PropertyList::toPreferenceValue(*value) : std::nullopt;
            if (converted) {
                prefs().setObject(*key, *converted);
                Log::f("    %@ -> %@", *key, SecretText::shown(*key, Preferences::describe(*converted)));
            }
        } else {
            Log::f("    %@ = %@", *key, SecretText::shown(*key, Preferences::describe(*prefs().objectForKey(*key))));
        }
    }
}

void AppDelegate::honourDeletionRequest() {
    Log::line("Cancello tutto il Database ...");
    companySwitch_.openActive();
    const auto& session = companySwitch_.session();
    auto database = session ? session->store() : nullptr;
    // Without a store, or when the deletion cannot be made durable, the request stays so the
    // next start tries again.
    if (!database) return;
    database->deleteDatabase();
    try {
        database->commit();
    } catch (const StoreFailure&) {
        database->rollback();
        return;
    }
    prefs().removeObjectForKey(keys::pref_deleteDatabaseEnabled);
    prefs().synchronize();
}

void AppDelegate::startApplicazione() {
    ScannerDevices::configureFromPreferences();
    auto scelta = std::make_shared<InserimentoSceltaViewController>(ui_);
    scelta->setStoreCheck([this](bool orderInProgress) {
        const auto outcome = companySwitch_.run(orderInProgress, [this, orderInProgress] { autenticazione_.mostraLogin(orderInProgress); });
        return outcome == CompanySwitch::Outcome::StoreOpen;
    });
    scelta->setNavigation(std::make_shared<OrderScreens>());
    sceltaController = scelta;
    archivioController = std::make_shared<ArchivioViewController>(ui_);
    impostazioniController = std::make_shared<ImpostazioniViewController>(ui_);
    giveSession(companySwitch_.session());
    ui_.showTabs({{"SCELTA", "coat-hanger", sceltaController},
                  {"Archivio", "database", archivioController},
                  {"IMPOSTAZIONI", "gear", impostazioniController}});
}

// Every tab works for the company of the newest session (a screen a tab opened earlier keeps
// the session it was opened with until it is closed).
void AppDelegate::giveSession(const std::shared_ptr<CompanySession>& session) {
    if (auto scelta = std::dynamic_pointer_cast<InserimentoSceltaViewController>(sceltaController)) scelta->setSession(session);
    if (auto archivio = std::dynamic_pointer_cast<ArchivioViewController>(archivioController)) archivio->setSession(session);
    if (auto impostazioni = std::dynamic_pointer_cast<ImpostazioniViewController>(impostazioniController))
        impostazioni->setSession(session);
}

}  // namespace torvane
