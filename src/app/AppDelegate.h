#pragma once

#include <memory>
#include <string>

#include "app/Autenticazione.h"
#include "app/CompanySwitch.h"

namespace torvane {

class CompanySession;
class Preferences;
namespace ui {
class Screen;
class Ui;
}  // namespace ui

// Starts the application: keeps the user defaults in step with the settings files shipped
// with this version, honours a request to empty the store, and shows the tab bar.
class AppDelegate {
public:
    // The preferences are always the standard ones, looked up each time: replacing them
    // (another data folder) never leaves the delegate holding the old ones.
    explicit AppDelegate(ui::Ui& ui);
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // The application's delegate, so screens can reach the main controllers; none before
    // one is made.
    static AppDelegate* appDelegate();

    // Reconciles the defaults, then shows the tab bar. Answers true.
    bool didFinishLaunching();
    void applicationWillEnterForeground();
    void checkImpostazioni();
    void startApplicazione();

    // The audible acknowledgement of a scan is the scanner's own; the delegate's are silent.
    void beep() {}
    void boopa() {}

    CompanySwitch& companySwitch() { return companySwitch_; }
    ui::Ui& ui() const { return ui_; }

    std::shared_ptr<ui::Screen> sceltaController;
    std::shared_ptr<ui::Screen> archivioController;
    std::shared_ptr<ui::Screen> impostazioniController;

private:
    void reconcileWithSettingsFiles();
    void reconcileFile(const std::string& path);
    void honourDeletionRequest();
    void giveSession(const std::shared_ptr<CompanySession>& session);

    static Preferences& prefs();

    ui::Ui& ui_;
    CompanySwitch companySwitch_;
    Autenticazione autenticazione_;
};

}  // namespace torvane
