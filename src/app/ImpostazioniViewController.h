#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Screen.h"

namespace torvane {

class CaricatoreDatabase;
class CompanySession;
class Database;

// The settings tab: the catalogue download with its progress panel and result, the date of
// the last download, the order count, the outbox (messages waiting, the last failure, a
// button to send them now), and the one-shot maintenance switches of the device settings,
// which take effect each time the screen appears.
class ImpostazioniViewController : public ui::Screen {
public:
    explicit ImpostazioniViewController(ui::Ui& ui, std::shared_ptr<CompanySession> session = nullptr);
    // The company switch's new session: the screen works on it from its next appearing.
    void setSession(std::shared_ptr<CompanySession> session) { session_ = std::move(session); }

    std::string title() const override;
    std::vector<ui::Section> sections() const override;
    void viewWillAppear() override;
    void buttonTapped(const std::string& action, ui::IndexPath where) override;

    void caricaListinoTap();
    void inviaScelteTap();
    void cancellaScelteButton();
    // "Invia posta": the outbox now, the messages refused for good included.
    void inviaPostaTap();
    bool caricamentoInCorso() const { return inCorso_; }

    // What the panel shows while a download runs; set on the main thread only.
    struct Avanzamento {
        std::string label1 = "Aggiornamento";
        std::string label2 = "in corso ...";
        double valore = 0;
    };

    // "Mb usati: %u Mb liberi: %u Mb totali: %u", from the system's memory figures.
    static void printFreeMemory();
    // "Listing all files found in %@" and one line per entry.
    static void listFileAtPath(const std::string& path);

private:
    std::shared_ptr<Database> store() const;
    void aggiornaContatori();
    void aggiornaPosta();
    // For any thread: the outbox's figures read again and shown, on the main thread, while
    // this screen is there.
    std::function<void()> postaCambiata();
    void lenghtyOperationDidEndWithResult(const std::shared_ptr<CaricatoreDatabase>& loader);

    std::shared_ptr<CompanySession> session_;
    std::string numeroScelte_;
    std::string aggiornamento_;
    std::string postaInUscita_;
    std::string postaErrore_;
    bool inCorso_ = false;
    Avanzamento avanzamento_;
};

}  // namespace torvane
