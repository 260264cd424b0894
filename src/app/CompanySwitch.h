#pragma once

#include <functional>
#include <memory>

namespace torvane {

class CompanySession;
class Preferences;
namespace ui {
class Ui;
}

// Decides, each time order entry is about to be shown, which company's store is open:
// asks for a login when nobody is known, opens the active company's store, or moves to the
// company the agent asked for when the user profile allows it and no order is in progress.
class CompanySwitch {
public:
    enum class Outcome {
        LoginShown,   // the login prompt was asked for; nothing else happened
        StoreOpen,    // a store is open (the same or another company)
        NoStore,      // no store could be opened ("Non accedo al Database !!!" shown)
    };

    static constexpr const char* kPlaceholderUser = "DigitaUtenteTorvane";

    // Works on the standard preferences of the moment.
    explicit CompanySwitch(ui::Ui& ui) : ui_(ui) {}

    // A login is needed when it was asked for, or when no company is active and no user
    // has logged in yet.
    static bool loginNeeded(const Preferences& preferences);

    // `orderInProgress`: order entry holds a client, price list, article or order header.
    // `showLogin` shows the login prompt (the login screen owns it).
    Outcome run(bool orderInProgress, const std::function<void()>& showLogin);

    // Opens the active company's store unless it is open; a store opened makes a new session,
    // handed to `onSession` (the screens are told), and the old one is let go.
    void openActive();
    const std::shared_ptr<CompanySession>& session() const { return session_; }
    using SessionChanged = std::function<void(const std::shared_ptr<CompanySession>&)>;
    void setOnSession(SessionChanged onSession) { onSession_ = std::move(onSession); }

private:
    void switchCompany(bool orderInProgress);
    // The session of the store that is open, made when there is none for it yet.
    void adoptOpenStore();

    static Preferences& prefs();

    ui::Ui& ui_;
    std::shared_ptr<CompanySession> session_;
    SessionChanged onSession_;
};

}  // namespace torvane
