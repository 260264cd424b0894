#include "app/ImpostazioniViewController.h"

#include "app/ImpostazioniDispositivoViewController.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "loader/CaricatoreDatabase.h"
#include "loader/DocumentUrls.h"
#include "loader/LoadResultAlert.h"
#include "loader/ProgressView.h"
#include "mail/MailSettings.h"
#include "mail/Outbox.h"
#include "mail/OutboxSender.h"
#include "platform/DateFormat.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Ui.h"
#include "session/CompanySession.h"
#include "store/Database.h"
#include "store/StoreFailure.h"

namespace torvane {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUltimoAggiornamento = "SYSTEM_DATAULTIMOAAGGIORNAMENTO";

Preferences& prefs() { return Preferences::standard(); }

ui::Button button(std::string action, std::string title, bool enabled = true) {
    ui::Button made;
    made.action = std::move(action);
    made.title = std::move(title);
    made.enabled = enabled;
    return made;
}

// A one-shot switch of the device settings: cleared once its action has run.
void clearSwitch(std::string_view key) {
    prefs().removeObjectForKey(key);
    prefs().synchronize();
}

bool committed(Database& database) {
    try {
        database.commit();
        return true;
    } catch (const StoreFailure&) {
        database.rollback();
        return false;
    }
}

// The loader runs on its own thread; what it shows reaches the screen on the main thread, and
// never a screen that is gone.
class PannelloAvanzamento final : public ProgressView {
public:
    using Apply = std::function<void(ImpostazioniViewController::Avanzamento&)>;
    explicit PannelloAvanzamento(std::function<void(Apply)> deliver) : deliver_(std::move(deliver)) {}
    void setLabel1Activity(const std::string& text) override {
        deliver_([text](ImpostazioniViewController::Avanzamento& a) { a.label1 = text; });
    }
    void setLabel2Activity(const std::string& text) override {
        deliver_([text](ImpostazioniViewController::Avanzamento& a) { a.label2 = text; });
    }
    void updateProgressBar(float value) override {
        deliver_([value](ImpostazioniViewController::Avanzamento& a) { a.valore = value; });
    }

private:
    std::function<void(Apply)> deliver_;
};

}  // namespace

ImpostazioniViewController::ImpostazioniViewController(ui::Ui& ui, std::shared_ptr<CompanySession> session)
    : Screen(ui), session_(std::move(session)) {}

std::shared_ptr<Database> ImpostazioniViewController::store() const { return session_ ? session_->store() : nullptr; }

std::string ImpostazioniViewController::title() const {
    const std::string azienda = session_ ? session_->code().text() : prefs().stringForKey(keys::pref_aziendaAttiva).value_or("");
    return azienda.empty() ? "IMPOSTAZIONI" : format("%@ %@", "IMPOSTAZIONI", azienda);
}

std::vector<ui::Section> ImpostazioniViewController::sections() const {
    ui::Section catalogo{"Catalogo", "", {}};
    ui::Row carica;
    carica.items = {button("caricaListinoTap", "Caricamento TOTALE", !inCorso_)};
    catalogo.rows.push_back(carica);
    if (!aggiornamento_.empty()) catalogo.rows.push_back(ui::Row::labels({aggiornamento_}));

    ui::Section ordini{"Ordini", "", {ui::Row::labels({numeroScelte_})}};
    ui::Row azioni;
    azioni.items = {button("inviaScelteTap", "Invia Scelte"), button("cancellaScelteButton", "Cancella Scelte")};
    ordini.rows.push_back(azioni);

    ui::Section posta{"Posta in uscita", "", {ui::Row::labels({postaInUscita_})}};
    if (!postaErrore_.empty()) posta.rows.push_back(ui::Row::labels({postaErrore_}));
    ui::Row inviaPosta;
    inviaPosta.items = {button("inviaPostaTap", "Invia posta")};
    posta.rows.push_back(inviaPosta);

    ui::Row dispositivo;
    dispositivo.items = {button("impostazioniDispositivo", "Impostazioni dispositivo")};
    std::vector<ui::Section> all{catalogo, ordini, posta, ui::Section{"Dispositivo", "", {dispositivo}}};
    if (inCorso_) {
        ui::Row barra;
        ui::ProgressBar bar;
        bar.value = avanzamento_.valore;
        barra.items = {bar};
        all.insert(all.begin(), ui::Section{"Aggiornamento", "",
                                            {ui::Row::labels({avanzamento_.label1}), ui::Row::labels({avanzamento_.label2}), barra}});
    }
    return all;
}

void ImpostazioniViewController::viewWillAppear() {
    auto database = store();
    if (prefs().boolForKey(keys::pref_deleteDatabaseEnabled) && database) {
        Log::line("Cancello tutto il Database ...");
        database->deleteDatabase();
        if (committed(*database)) clearSwitch(keys::pref_deleteDatabaseEnabled);
    }
    if (prefs().boolForKey(keys::pref_deleteOrdiniEnabled) && database) {
        Log::line("Cancello archivio Ordini ...");
        database->deleteAllScelta();
        if (committed(*database)) clearSwitch(keys::pref_deleteOrdiniEnabled);
    }
    // The folder of the session's company, whatever the preferences say.
    if (prefs().boolForKey(keys::pref_deleteFotoEnabled) && session_) {
        Log::line("Cancello archivio Foto ...");
        const std::string folder = session_->photoFolder();
        Log::f("Foto Cache Dir: %@", folder);
        listFileAtPath(folder);
        std::error_code ec;
        fs::remove_all(folder, ec);
        if (ec) Log::f("ERRORE: Non riesco a rimuove Cache Foto %@", folder);
        else Log::f("Rimossa Cache Foto %@", folder);
        session_->forgetPhotos();
        clearSwitch(keys::pref_deleteFotoEnabled);
    }
    aggiornaContatori();
    aggiornaPosta();
    // While the application runs its background sender, what it does shows here as it happens.
    if (OutboxSender* sender = OutboxSender::shared()) sender->setOnChange(postaCambiata());
    printFreeMemory();
    redraw();
}

void ImpostazioniViewController::aggiornaPosta() {
    const OutboxStatus stato = Outbox().status();
    postaInUscita_ = stato.waiting > 0 ? format("Messaggi in uscita: %d", static_cast<long long>(stato.waiting))
                                       : "Nessun messaggio in uscita";
    std::string errore = stato.waiting > 0 ? stato.lastFailure : std::string();
    if (stato.waiting > 0 && errore.empty() && !MailSettings::smtp()) errore = "nessun server di posta impostato (pref_SMTPSERVER)";
    postaErrore_ = errore.empty() ? std::string() : format("Ultimo errore: %@", errore);
}

void ImpostazioniViewController::aggiornaContatori() {
    auto database = store();
    const auto count = database ? database->fetchAllSceltaTestata().value_or(std::vector<SceltaTestata>{}).size() : 0;
    Log::f("Scelte presenti: %d", static_cast<long long>(count));
    numeroScelte_ = count > 0 ? format("Ordini nel Database: %d", static_cast<long long>(count)) : "Nessun Ordine da inviare";
    aggiornamento_.clear();
    if (database)
        if (auto parametro = database->fetchParametroByAttributo(kUltimoAggiornamento)) {
            const std::string valore = parametro->valore().value_or("");
            if (!valore.empty()) aggiornamento_ = format("Aggiornato il %@", valore);
        }
}

void ImpostazioniViewController::buttonTapped(const std::string& action, ui::IndexPath) {
    if (action == "caricaListinoTap") caricaListinoTap();
    else if (action == "inviaScelteTap") inviaScelteTap();
    else if (action == "cancellaScelteButton") cancellaScelteButton();
    else if (action == "inviaPostaTap") inviaPostaTap();
    else if (action == "impostazioniDispositivo") ui().push(*this, std::make_shared<ImpostazioniDispositivoViewController>(ui()));
}

void ImpostazioniViewController::caricaListinoTap() {
    Log::line("Caricamento TOTALE tapped !!!!!");
    // One download at a time: a second press while one runs does nothing.
    if (inCorso_) return;
    const bool fiera = prefs().boolForKey(keys::pref_MODALITAFIERAENABLED);
    const auto server = prefs().stringForKey(fiera ? keys::pref_FIERAHTTPSERVER : keys::pref_HTTPSERVER);
    const bool valido = DocumentUrls::isValidUrl(server) && (fiera || *server != "http://");
    if (!valido) {
        ui().showAlert(ui::Alert::simple(std::nullopt, fiera ? "Imposta indirizzo HTTP del PC Fiera !!!" : "Manca l'indirizzo HTTP !!!",
                                         "Continua"));
        return;
    }
    Log::f(fiera ? "Indirizzo Http PC Fiera :%@" : "Indirizzo Http :%@", *server);
    auto database = store();
    if (!database) {
        ui().showAlert(ui::Alert::simple("Non accedo al Database !!!", "Prego uscire con tasto HOME", "OK"));
        return;
    }
    // The attempt's date is kept whatever the download's outcome.
    const std::string adesso = DateFormat("dd/MM/yyyy HH:mm").format(std::chrono::system_clock::now());
    auto parametro = database->fetchParametroByAttributo(kUltimoAggiornamento);
    if (!parametro) {
        parametro = database->createParametroWithAttributo(kUltimoAggiornamento);
        if (parametro) parametro->setValore(std::string());
    }
    if (parametro) parametro->setValore(adesso);
    aggiornamento_ = format("Aggiornamento iniziato %@", adesso);
    committed(*database);

    inCorso_ = true;
    avanzamento_ = Avanzamento{};
    ui().setKeepAwake(true);
    redraw();

    std::weak_ptr<Screen> alive = weak_from_this();
    ui::Ui& platform = ui();
    auto deliver = [&platform, alive](PannelloAvanzamento::Apply apply) {
        platform.postToMain([alive, apply = std::move(apply)] {
            auto screen = std::static_pointer_cast<ImpostazioniViewController>(alive.lock());
            if (!screen || !screen->inCorso_) return;
            apply(screen->avanzamento_);
            screen->redraw();
        });
    };
    platform.runInBackground([&platform, alive, deliver, database] {
        printFreeMemory();
        auto loader = std::make_shared<CaricatoreDatabase>();
        loader->setDatabase(database);
        loader->setAlertPresenter([&platform](const ui::Alert& alert) {
            platform.postToMain([&platform, alert] { platform.showAlert(alert); });
        });
        PannelloAvanzamento panel(deliver);
        loader->downloadWithProgressView(&panel);
        printFreeMemory();
        platform.postToMain([alive, loader] {
            if (auto screen = std::static_pointer_cast<ImpostazioniViewController>(alive.lock()))
                screen->lenghtyOperationDidEndWithResult(loader);
        });
    });
}

void ImpostazioniViewController::lenghtyOperationDidEndWithResult(const std::shared_ptr<CaricatoreDatabase>& loader) {
    inCorso_ = false;
    Log::line("removeActivityIndicator");
    ui().setKeepAwake(false);
    aggiornaContatori();
    redraw();
    if (auto alert = LoadResultAlert::forLoader(*loader)) ui().showAlert(*alert);
}

void ImpostazioniViewController::inviaScelteTap() {
    Log::line("Invia Scelte tapped !!!!!");
    auto database = store();
    const bool presenti = database && !database->fetchAllSceltaTestata().value_or(std::vector<SceltaTestata>{}).empty();
    if (presenti) ui().showAlert(ui::Alert::simple("Attenzione", "Gli ordini vengono inviati automaticamente !!", "Ok"));
    else ui().showAlert(ui::Alert::simple(std::nullopt, "Nessuna Scelta presente !!!", "Ok"));
}

void ImpostazioniViewController::cancellaScelteButton() {
    Log::line("Cancella Scelte tapped !!!!!");
    auto database = store();
    if (!database) return;
    database->deleteAllSceltaOpened();
    committed(*database);
    aggiornaContatori();
    redraw();
}

void ImpostazioniViewController::inviaPostaTap() {
    Log::line("Invia posta tapped");
    auto smtp = MailSettings::smtp();
    if (OutboxSender* sender = OutboxSender::shared()) {
        sender->drainNow(std::move(smtp), true);
        return;
    }
    // No background sender (a script): one run, off the main thread all the same.
    if (!smtp) {
        aggiornaPosta();
        redraw();
        return;
    }
    ui().runInBackground([settings = std::move(*smtp), cambiata = postaCambiata()] {
        Outbox().sendAll(SmtpSender(settings), OutboxRun::Everything);
        cambiata();
    });
}

std::function<void()> ImpostazioniViewController::postaCambiata() {
    std::weak_ptr<Screen> alive = weak_from_this();
    ui::Ui& platform = ui();
    return [&platform, alive] {
        platform.postToMain([alive] {
            auto screen = std::static_pointer_cast<ImpostazioniViewController>(alive.lock());
            if (!screen) return;
            screen->aggiornaPosta();
            screen->redraw();
        });
    };
}

void ImpostazioniViewController::printFreeMemory() {
    std::ifstream meminfo("/proc/meminfo");
    long long active = -1, inactive = -1, unevictable = 0, free = -1;
    std::string line;
    while (std::getline(meminfo, line)) {
        std::istringstream fields(line);
        std::string name;
        long long kilobytes = 0;
        fields >> name >> kilobytes;
        if (name == "Active:") active = kilobytes;
        else if (name == "Inactive:") inactive = kilobytes;
        else if (name == "Unevictable:") unevictable = kilobytes;
        else if (name == "MemFree:") free = kilobytes;
    }
    if (active < 0 || inactive < 0 || free < 0) {
        Log::line("Impossibile ottenere le statistiche vm");
        return;
    }
    const long long usati = (active + inactive + unevictable) >> 10;
    const long long liberi = free >> 10;
    Log::f("Mb usati: %u Mb liberi: %u Mb totali: %u", usati, liberi, usati + liberi);
}

void ImpostazioniViewController::listFileAtPath(const std::string& path) {
    Log::f("Listing all files found in %@", path);
    std::error_code ec;
    int count = 0;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
        Log::f("    %3d: %@", static_cast<long long>(++count), it->path().filename().string());
}

}  // namespace torvane
