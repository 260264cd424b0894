#include "app/CompanySwitch.h"

#include "app/CompanyAuthorizations.h"
#include "platform/CompanyCode.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Ui.h"
#include "session/CompanySession.h"
#include "store/Database.h"

namespace torvane {

Preferences& CompanySwitch::prefs() { return Preferences::standard(); }

bool CompanySwitch::loginNeeded(const Preferences& preferences) {
    if (preferences.boolForKey(keys::pref_AAARequestEnabled)) return true;
    auto active = preferences.stringForKey(keys::pref_aziendaAttiva);
    if (active && !active->empty()) return false;
    // The settings file gives the user name an empty default: an empty name is no user.
    auto user = preferences.stringForKey(keys::pref_user);
    return !user || user->empty() || *user == kPlaceholderUser;
}

CompanySwitch::Outcome CompanySwitch::run(bool orderInProgress, const std::function<void()>& showLogin) {
    if (loginNeeded(prefs())) {
        if (showLogin) showLogin();
        prefs().setString(keys::pref_user, kPlaceholderUser);
        prefs().removeObjectForKey(keys::pref_AAARequestEnabled);
        prefs().synchronize();
        return Outcome::LoginShown;
    }
    if (!Database::sharedDatabase()) {
        openActive();
    } else {
        switchCompany(orderInProgress);
        adoptOpenStore();
    }
    if (Database::sharedDatabase()) return Outcome::StoreOpen;
    ui_.showAlert(ui::Alert::simple("Non accedo al Database !!!", "Prego uscire con tasto HOME", "OK"));
    return Outcome::NoStore;
}

void CompanySwitch::switchCompany(bool orderInProgress) {
    const std::string active = prefs().stringForKey(keys::pref_aziendaAttiva).value_or("");
    const std::string requested = prefs().stringForKey(keys::pref_azienda).value_or("");
    // No request at all is not a request for another company.
    if (requested.empty() || requested == active) return;

    // A code that is not plain (preferences edited by hand) is no company: the request goes.
    if (!CompanyCode::checked(requested, "pref_azienda")) {
        prefs().setString(keys::pref_azienda, active);
        prefs().synchronize();
        return;
    }
    if (orderInProgress) {
        ui_.showAlert(ui::Alert::simple("Attenzione: non posso cambiare Database!!!",
                                        "Prima termina l'Ordine in corso", "Continua"));
        prefs().setString(keys::pref_azienda, active);
        prefs().synchronize();
        return;
    }

    Log::f("Cambio Azienda : rilascio db %@", active);
    session_.reset();
    Database::releaseDatabase();
    Log::f("Cambio Azienda : cerco di vedere se sono abilitato al db %@", requested);
    if (auto authorization = CompanyAuthorizations::find(prefs(), requested, "    ")) {
        Log::f("    Eureka !!! Trovata %@", requested);
        CompanyAuthorizations::activate(prefs(), *authorization);
    } else {
        ui_.showAlert(ui::Alert::simple("Attenzione !!!", format("Non posso cambiare DB da %@ a %@", active, requested),
                                        "OK"));
        prefs().setString(keys::pref_azienda, active);
        prefs().synchronize();
    }
    openActive();
}

void CompanySwitch::openActive() {
    Database::initDatabase();
    adoptOpenStore();
}

void CompanySwitch::adoptOpenStore() {
    auto store = Database::sharedDatabase();
    if (session_ && session_->store() == store) return;
    // Another company, or the same one opened again: a session of its own, which starts with
    // the photo cache's memory empty.
    session_ = CompanySession::over(store);
    if (session_) session_->forgetPhotos();
    if (onSession_) onSession_(session_);
}

}  // namespace torvane
