#include "clients/ElencoClientiViewController.h"
#include "clients/DettaglioClienteViewController.h"
#include "clients/NuovoClienteViewController.h"
#include "clients/NuovoCodiceCliente.h"


#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Ui.h"
#include "platform/ui/LabelBuilder.h"
#include "session/CompanySession.h"
#include "store/Database.h"
#include "store/StoreFailure.h"

namespace torvane {

namespace {

constexpr ui::Color kRosso{220, 0, 0};
constexpr ui::Color kGrigioChiaro{211, 211, 211};

}  // namespace

ElencoClientiViewController::ElencoClientiViewController(ui::Ui& ui, Selection onSelect,
                                                         std::shared_ptr<CompanySession> session)
    : Screen(ui),
      session_(std::move(session)),
      onSelect_(std::move(onSelect)),
      esposizioneEnabled_(Preferences::standard().boolForKey(keys::pref_ESPOSIZIONEENABLED)),
      anagrafica_(std::make_unique<AnagraficaCliente>(
          ui, [this] { return this->store(); }, [this] { fetchAllCliente(); })) {
    setTitle("Clienti");
}

std::shared_ptr<Database> ElencoClientiViewController::store() const {
    return session_ ? session_->store() : nullptr;
}

void ElencoClientiViewController::fetchAllCliente() {
    auto database = store();
    // A store failure shows an empty list.
    clienti_ = database ? database->fetchAllCliente().value_or(std::vector<Cliente>{}) : std::vector<Cliente>{};
    redraw();
}

void ElencoClientiViewController::fetchAllMatchesCliente(const std::string& text) {
    auto database = store();
    clienti_ = database ? database->fetchAllMatchesCliente(text).value_or(std::vector<Cliente>{}) : std::vector<Cliente>{};
    Log::f("Trovati N.%d Clienti", static_cast<long long>(clienti_.size()));
    redraw();
}

int ElencoClientiViewController::numberOfRows(int section) const {
    return section == 0 ? static_cast<int>(clienti_.size()) : 0;
}

ui::Row ElencoClientiViewController::rowAt(int section, int row) const {
    if (section != 0 || row < 0 || row >= static_cast<int>(clienti_.size())) return {};
    return rigaCliente(clienti_[static_cast<size_t>(row)]);
}

ui::Row ElencoClientiViewController::rigaCliente(const Cliente& cliente) const {
    const std::string codice = cliente.codice().value_or("");
    const std::string importanza = cliente.importanza().value_or("");
    std::string ragioneSociale2 = cliente.ragioneSociale2().value_or("");
    if (const std::string terza = cliente.ragioneSociale3().value_or(""); !terza.empty())
        ragioneSociale2 += format(" %@", terza);
    std::string citta = cliente.citta().value_or("");
    if (const std::string provincia = cliente.provincia().value_or(""); !provincia.empty())
        citta = format("%@ (%@)", citta, provincia);

    ui::Label indicatore = ui::label("", ui::TextStyle::Bold);
    indicatore.hidden = true;
    auto database = store();
    // Read once: the mark and the detail button both depend on it.
    const auto esposizione = database ? database->fetchEsposizioneClienteByCodice(codice) : std::nullopt;
    if (esposizioneEnabled_ && esposizione) {
        std::string segno;
        if (esposizione->flagScaduto().value_or(false)) segno += "S";
        if (esposizione->flagOrdini().value_or(false)) segno += "C";
        if (!segno.empty()) {
            indicatore.text = segno;
            indicatore.hidden = false;
            indicatore.background = esposizione->flagFuoriFido().value_or(false) ? kRosso : kGrigioChiaro;
            indicatore.alignment = ui::Alignment::Center;
        }
    }
    ui::Row row;
    // Clients made on the device can be edited, and clients with figures have a detail.
    const bool nuovo = codice.empty() || codice.find("NEW") != std::string::npos;
    if (nuovo || esposizione || (database && database->fetchStatClienteByCodice(codice)))
        row.accessory = ui::Accessory::DetailButton;
    row.items = {ui::label(importanza.empty() ? codice : format("%@ %@", importanza, codice)),
                 ui::label(cliente.ragioneSociale1().value_or(""), ui::TextStyle::Bold),
                 ui::label(ragioneSociale2),
                 ui::label(cliente.indirizzo1().value_or("")),
                 ui::label(cliente.cap().value_or("")),
                 ui::label(citta),
                 ui::label(cliente.nazione().value_or("")),
                 indicatore};
    return row;
}

void ElencoClientiViewController::viewWillAppear() {
    searchText_.clear();
    fetchAllCliente();
}

void ElencoClientiViewController::didSelectRow(int section, int row) {
    if (section != 0 || row < 0 || row >= static_cast<int>(clienti_.size())) return;
    const Cliente scelto = clienti_[static_cast<size_t>(row)];
    if (onSelect_) onSelect_(scelto);
    ui().pop(*this);
}

std::vector<ui::NavigationButton> ElencoClientiViewController::navigationButtons() const {
    if (Preferences::standard().boolForKey(keys::pref_NUOVOCLIENTEDISABLED)) return {};
    return {{"aggiungiClienteTapped", "+", ui::NavigationSide::Right}};
}

void ElencoClientiViewController::navigationButtonTapped(const std::string& action) {
    if (action == "aggiungiClienteTapped") aggiungiClienteTapped();
}

void ElencoClientiViewController::gestisciAnagrafica(const Cliente& cliente) {
    // "Annulla" in the registry rolls back what is pending: what other screens left for the
    // next commit is saved first, so only the registry's own changes go.
    if (auto database = store()) {
        try {
            database->commit();
        } catch (const StoreFailure& failure) {
            database->rollback();
            ui().showAlert(ui::Alert::simple("Errore", failure.reason(), "Continua"));
            return;
        }
    }
    anagrafica_->gestisciAnagrafica(*this, cliente);
}

void ElencoClientiViewController::accessoryTapped(int section, int row) {
    if (section != 0 || row < 0 || row >= static_cast<int>(clienti_.size())) return;
    const Cliente cliente = clienti_[static_cast<size_t>(row)];
    const std::string codice = cliente.codice().value_or("");
    if (codice.empty() || codice.find("NEW") != std::string::npos) {
        if (Preferences::standard().boolForKey(keys::pref_ANAGRAFICAESTESA)) {
            gestisciAnagrafica(cliente);
            return;
        }
        ui().push(*this, std::make_shared<NuovoClienteViewController>(ui(), cliente, session_));
    }
    auto database = store();
    if (database && (database->fetchStatClienteByCodice(codice) || database->fetchEsposizioneClienteByCodice(codice)))
        ui().push(*this, std::make_shared<DettaglioClienteViewController>(ui(), cliente, session_));
}

void ElencoClientiViewController::aggiungiClienteTapped() {
    Log::line("Aggiungi Cliente tapped ...");
    auto database = store();
    if (!database) return;
    if (!Preferences::standard().boolForKey(keys::pref_ANAGRAFICAESTESA)) {
        ui().push(*this, std::make_shared<NuovoClienteViewController>(ui(), std::nullopt, session_));
        return;
    }
    mastriCodici.clear();
    mastriDescrizioni.clear();
    mastriKeyCorrispondenti.clear();
    static const char* const kTipi[] = {"ITALIA", "CEE", "EXTRACEE", "PRIVATO"};
    auto dichiarati = database->fetchAllMatchesParametro("DIC-MASTRO").value_or(std::vector<Parametro>{});
    if (dichiarati.empty()) {
        const char* const codici[] = {"01", "02", "03", "04"};
        for (int i = 0; i < 4; ++i) {
            mastriCodici.emplace_back(codici[i]);
            mastriDescrizioni.emplace_back(kTipi[i]);
            mastriKeyCorrispondenti.emplace_back(kTipi[i]);
        }
    } else {
        for (const char* tipo : kTipi) {
            auto parametro = database->fetchParametroByAttributo(format("%@%@", "DIC-MASTRO", tipo));
            if (!parametro) continue;
            mastriCodici.push_back(parametro->valore().value_or(""));
            mastriDescrizioni.push_back(parametro->descrizione().value_or(""));
            mastriKeyCorrispondenti.emplace_back(tipo);
        }
    }
    ui::Alert sheet;
    sheet.title = "Tipo Cliente da aggiungere ?";
    sheet.style = ui::AlertStyle::ActionSheet;
    sheet.buttons = mastriDescrizioni;
    sheet.buttons.emplace_back("Scegli una delle opzioni");
    sheet.cancelButton = static_cast<int>(sheet.buttons.size()) - 1;
    std::weak_ptr<Screen> alive = weak_from_this();
    ui().showAlert(sheet, [this, alive](const ui::AlertAnswer& answer) {
        if (alive.lock()) actionSheetClickedButtonAtIndex(answer.buttonIndex);
    });
}

void ElencoClientiViewController::actionSheetClickedButtonAtIndex(int index) {
    Log::f("Action Sheet button %d", index);
    if (index < 0 || index >= static_cast<int>(mastriKeyCorrispondenti.size())) return;
    auto database = store();
    if (!database) return;
    // Saved first, so that cancelling the registry takes back only the new client and its counter.
    try {
        database->commit();
    } catch (const StoreFailure& failure) {
        database->rollback();
        ui().showAlert(ui::Alert::simple("Errore", failure.reason(), "Continua"));
        return;
    }
    auto cliente = nuovoClienteConCodice(*database, "NEW%04d");
    if (!cliente) {
        ui().showAlert(ui::Alert::simple("Errore", "Errore durante la creazione di un oggetto Cliente", "Continua"));
        return;
    }
    const auto i = static_cast<size_t>(index);
    cliente->setTipo(mastriKeyCorrispondenti[i]);
    cliente->setMastro(mastriCodici[i]);
    Log::f("Scelto Tipo %@ CodiceMastro=%@", mastriKeyCorrispondenti[i], mastriCodici[i]);
    anagrafica_->gestisciAnagrafica(*this, *cliente);
}

void ElencoClientiViewController::searchTextChanged(const std::string& text) {
    searchText_ = text;
    if (!text.empty()) return fetchAllMatchesCliente(text);
    // An emptied search shows every client again, and is counted as any other search.
    fetchAllCliente();
    Log::f("Trovati N.%d Clienti", static_cast<long long>(clienti_.size()));
}

void ElencoClientiViewController::searchButtonClicked(const std::string& text) {
    searchTextChanged(text);
    ui().endEditing(*this);
}

void ElencoClientiViewController::searchCancelled() {
    searchText_.clear();
    ui().endEditing(*this);
    fetchAllCliente();
}

}  // namespace torvane
