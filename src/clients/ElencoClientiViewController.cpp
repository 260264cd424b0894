#include "clients/ElencoClientiViewController.h"

#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Ui.h"
#include "store/Database.h"

namespace torvane {

namespace {

constexpr ui::Color kRosso{220, 0, 0};
constexpr ui::Color kGrigioChiaro{211, 211, 211};

ui::Label label(std::string text, ui::TextStyle style = ui::TextStyle::Normal) {
    ui::Label made;
    made.text = std::move(text);
    made.style = style;
    return made;
}

}  // namespace

ElencoClientiViewController::ElencoClientiViewController(ui::Ui& ui, Selection onSelect,
                                                         std::shared_ptr<Database> store)
    : Screen(ui),
      store_(std::move(store)),
      onSelect_(std::move(onSelect)),
      esposizioneEnabled_(Preferences::standard().boolForKey(keys::pref_ESPOSIZIONEENABLED)) {
    setTitle("Clienti");
}

std::shared_ptr<Database> ElencoClientiViewController::store() const {
    return store_ ? store_ : Database::sharedDatabase();
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

    ui::Label indicatore = label("", ui::TextStyle::Bold);
    indicatore.hidden = true;
    if (esposizioneEnabled_) {
        auto database = store();
        if (auto esposizione = database ? database->fetchEsposizioneClienteByCodice(codice) : std::nullopt) {
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
    }
    ui::Row row;
    row.items = {label(importanza.empty() ? codice : format("%@ %@", importanza, codice)),
                 label(cliente.ragioneSociale1().value_or(""), ui::TextStyle::Bold),
                 label(ragioneSociale2),
                 label(cliente.indirizzo1().value_or("")),
                 label(cliente.cap().value_or("")),
                 label(citta),
                 label(cliente.nazione().value_or("")),
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

void ElencoClientiViewController::searchTextChanged(const std::string& text) {
    searchText_ = text;
    if (text.empty()) fetchAllCliente();
    else fetchAllMatchesCliente(text);
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
