#pragma once

#include <functional>
#include <string>

namespace torvane {

namespace ui {
class Ui;
}

// The login: the user name and password go, with the device's identifier, to the
// user-profile service (`pref_AAASERVER`), which answers with the companies the user may work
// for. The first granted company becomes the active one, with its server and agent codes.
class Autenticazione {
public:
    explicit Autenticazione(ui::Ui& ui) : ui_(ui) {}
    // How the store of the company now active is opened (the company switch's way); by
    // default the store alone.
    void setOpenStore(std::function<void()> openStore) { openStore_ = std::move(openStore); }

    // The prompt "Login iniziale" (tag 1); its answer runs `rispostaLogin`. `orderInProgress`:
    // order entry holds an order, so the active company must stay.
    void mostraLogin(bool orderInProgress = false);
    // The prompt's answer: the exchange, then the store of the company now active.
    void rispostaLogin(const std::string& user, const std::string& password, bool orderInProgress = false);

    // The exchange with the service; false when nothing was granted because it could not be
    // asked, or it refused the user. Companies whose code is not plain are refused (logged).
    // With an order in progress the user is taken but the active company stays, and the
    // company switch's own alert says so.
    bool autenticazioneWithUser(const std::string& user, const std::string& password, bool orderInProgress = false);

    // "user=…&pass=…&udid=…", each value form-encoded (a password with "&" or "+" must
    // arrive as typed).
    static std::string postData(const std::string& user, const std::string& password, const std::string& udid);

private:
    void openStore();

    ui::Ui& ui_;
    std::function<void()> openStore_;
};

}  // namespace torvane
