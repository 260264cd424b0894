// The order-entry screen's table: its content, the row taps, the pickers they open and the
// text fields. The values themselves are set through the controller's `imposta…` operations.

#include <algorithm>
#include <chrono>
#include <set>

#include "screens/ComboViewController.h"
#include "order/InserimentoSceltaViewController.h"

#include "order/SceltaTableContent.h"
#include "order/SceltaTaglieViewController.h"
#include "rules/ScanText.h"
#include "devices/BtScanner.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/TextCase.h"
#include "platform/ui/Ui.h"
#include "session/CompanySession.h"
#include "store/Database.h"

namespace torvane {

namespace {

using Sezione = SceltaTableContent::Sezione;
constexpr const char* kListini = "Listini";
constexpr const char* kColori = "Colori ";
constexpr std::chrono::milliseconds kDelay{300};

std::string orEmpty(const std::optional<std::string>& text) { return text.value_or(""); }

}  // namespace

std::vector<ui::Section> InserimentoSceltaViewController::sections() const {
    std::shared_ptr<Database> database = store();
    std::optional<std::string> handheld;
    if (scanners_->btScanner().isConnected()) handheld = scanners_->btScanner().info().serialNumber;
    return SceltaTableContent::sections({scelta_, database.get(), Preferences::standard(), handheld});
}

bool InserimentoSceltaViewController::orderHasLines(Database& database) const {
    const auto& testata = scelta_.sceltaTestataCorrente;
    if (!testata) return false;
    auto righe = database.fetchAllSceltaRigaByTestata(*testata);
    return righe && !righe->empty();
}

void InserimentoSceltaViewController::didSelectRow(int section, int row) {
    switch (section) {
        case Sezione::SezioneCliente: clienteSelezionato(); break;
        case Sezione::SezioneListino: listinoSelezionato(); break;
        case Sezione::SezioneArticolo: articoloSelezionato(); break;
        case Sezione::SezioneColore: coloreSelezionato(row); break;
        case Sezione::SezioneQuantita: quantitaSelezionata(); break;
        case Sezione::SezioneNota: Log::line("Nota CELL Selected !!!"); break;
        default: break;
    }
}

void InserimentoSceltaViewController::clienteSelezionato() {
    Log::line("Cliente CELL selected !!!");
    std::shared_ptr<Database> database = store();
    const auto& testata = scelta_.sceltaTestataCorrente;
    const bool duplicato = testata && testata->flagDuplicato().has_value();
    if (!duplicato && database && orderHasLines(*database)) {
        avvisa("Attenzione", "Non puoi cambiare il cliente. Termina la scelta iniziata !!!");
        return;
    }
    if (!navigation_) return;
    std::weak_ptr<Screen> self = weak_from_this();
    navigation_->openClientList(*this, session_, [self](const Cliente& cliente) {
        if (auto alive = std::static_pointer_cast<InserimentoSceltaViewController>(self.lock())) alive->setCliente(cliente);
    });
}

std::vector<Listino> InserimentoSceltaViewController::listiniCandidati(Database& database) const {
    std::vector<Listino> candidati;
    const std::string agenti = Preferences::standard().stringForKey(keys::pref_agente).value_or("");
    if (!agenti.empty()) {
        std::set<long long> presi;
        size_t start = 0;
        while (start <= agenti.size()) {
            const size_t end = std::min(agenti.find(';', start), agenti.size());
            const std::string codice = agenti.substr(start, end - start);
            start = end + 1;
            Log::f("Agente Codice=%@", codice);
            if (codice.empty()) continue;
            if (auto agente = database.fetchAgenteByCodice(codice)) {
                const std::vector<Listino> listini = agente->listini();
                Log::f("Listini collegati N. %d", static_cast<long long>(listini.size()));
                for (const Listino& listino : listini)
                    if (presi.insert(listino.id()).second) candidati.push_back(listino);
            }
        }
        // Descriptions are read once, not once per comparison.
        std::vector<std::pair<std::string, Listino>> ordinati;
        for (const Listino& listino : candidati) ordinati.emplace_back(orEmpty(listino.descrizione()), listino);
        std::stable_sort(ordinati.begin(), ordinati.end(),
                         [](const auto& a, const auto& b) { return TextCase::lessInLocale(a.first, b.first); });
        candidati.clear();
        for (auto& [descrizione, listino] : ordinati) candidati.push_back(listino);
        return candidati;
    }
    const bool campionario = Preferences::standard().stringForKey(keys::pref_TIPOORDINE).value_or("") == "S";
    return database.fetchAllListinoWithTipo(campionario ? "S" : "N").value_or(std::vector<Listino>{});
}

void InserimentoSceltaViewController::listinoSelezionato() {
    Log::line("Listino CELL selected !!!");
    if (!scelta_.clienteCorrente) {
        avvisa("Attenzione", "Prima imposta un Cliente !!!");
        return;
    }
    std::shared_ptr<Database> database = store();
    if (!database) return;
    if (orderHasLines(*database)) {
        const Preferences& preferences = Preferences::standard();
        const bool cambioPermesso = !preferences.boolForKey(keys::pref_MODALITAFIERAENABLED) &&
                                    preferences.boolForKey(keys::pref_CAMBIOLISTINOENABLED) && !scelta_.gestiscoTaglie;
        if (!cambioPermesso) {
            avvisa("Attenzione", "Non puoi cambiare il listino. Termina la scelta iniziata !!!");
            return;
        }
    }
    scelta_.listiniListaCombo = listiniCandidati(*database);
    std::vector<std::string> descrizioni;
    for (const Listino& listino : scelta_.listiniListaCombo) descrizioni.push_back(orEmpty(listino.descrizione()));
    scelta_.articoloCorrente.reset();
    scelta_.articoloListinoCorrente.reset();
    scelta_.prezziArticolo.clear();
    scelta_.articoloLast.reset();
    scelta_.serieLast.reset();
    ui().push(*this, std::make_shared<ComboViewController>(ui(), kListini, 0, std::move(descrizioni), this));
}

void InserimentoSceltaViewController::articoloSelezionato() {
    Log::line("Articolo CELL Selected !!!");
    if (!scelta_.listinoCorrente) {
        avvisa("Attenzione", "Prima imposta un Listino !!!");
        return;
    }
    scelta_.articoloLast.reset();
    scelta_.serieLast.reset();
    redraw();
    if (!navigation_) return;
    std::weak_ptr<Screen> alive = weak_from_this();
    navigation_->openArticleList(
        *this, *scelta_.listinoCorrente, session_,
        [this, alive](const Articolo& articolo) {
            if (alive.lock()) setArticolo(articolo);
        },
        [this, alive](const Articolo& articolo, const Giacenza& giacenza) {
            if (!alive.lock()) return;
            setArticolo(articolo);
            setGiacenza(giacenza);
        });
}

void InserimentoSceltaViewController::coloreSelezionato(int row) {
    Log::line("Colore CELL selected !!!");
    const auto& articolo = scelta_.articoloCorrente;
    if (!articolo) {
        avvisa("Attenzione", "Seleziona prima l'Articolo !!!");
        return;
    }
    const std::vector<Colore> colori = articolo->colori();
    Log::f("Colori x Articolo %@ (%@): %d", articolo->codice(), articolo->barCode(),
           static_cast<long long>(colori.size()));
    if (colori.empty()) {
        avvisa("Attenzione", "L'articolo non sembra avere Colori!!!");
        return;
    }
    std::shared_ptr<Database> database = store();
    if (hasSizeGroup(*articolo)) {
        if (database) ui().push(*this, std::make_shared<SceltaTaglieViewController>(ui(), database, *articolo, row));
        return;
    }
    const std::optional<std::string> divisa = scelta_.listinoCorrente ? scelta_.listinoCorrente->divisa() : std::nullopt;
    std::vector<std::string> voci, descrizioni;
    for (const Colore& colore : colori) {
        voci.push_back(SceltaTableContent::voceColore(colore, scelta_.prezziArticolo, divisa));
        descrizioni.push_back(orEmpty(colore.descrizione()));
    }
    ui().push(*this, std::make_shared<ComboViewController>(ui(), format("%@%@", kColori, articolo->codice()), 0,
                                                           std::move(voci), std::move(descrizioni), this));
}

void InserimentoSceltaViewController::quantitaSelezionata() {
    Log::line("Quantita CELL Selected !!!");
    if (scelta_.quantitaLast == 0) return;
    Log::f("Propongo Q.ta LAST: %.2f", scelta_.quantitaLast);
    impostaQuantita(format("%.2f", scelta_.quantitaLast));
    Log::f("Q.ta diventa: %.2f", scelta_.quantitaCorrente);
}

void InserimentoSceltaViewController::comboWithName(const std::string& name, int tag,
                                                    const std::vector<std::string>& array, int index) {
    (void)tag;
    Log::f("Combo ritornata %@", name);
    if (name == kListini) {
        Log::f("Listino selezionato %d", static_cast<long long>(index));
        if (index < 0 || index >= static_cast<int>(scelta_.listiniListaCombo.size())) return;
        const std::optional<Listino> prima = scelta_.listinoCorrente;
        scelta_.listinoCorrente = scelta_.listiniListaCombo[static_cast<size_t>(index)];
        const Listino& ora = *scelta_.listinoCorrente;
        if (!Preferences::standard().boolForKey(keys::pref_MODALITAFIERAENABLED) && prima) {
            std::string cambiati;
            if (prima->area() != ora.area()) cambiati += "Area ";
            if (prima->divisa() != ora.divisa()) cambiati += "Divisa ";
            if (prima->um() != ora.um()) cambiati += "UM ";
            if (!cambiati.empty()) {
                avvisa("Attenzione", format("Hai cambiato Mercato. (%@) !!! Premendo Continua e poi Annulla verra' "
                                            "riselezionato ultimo immesso.",
                                            cambiati));
            }
        }
        Log::f("Listino corrente : %@", ora.descrizione());
        redraw();
        return;
    }
    if (name.rfind(kColori, 0) == 0) {
        const std::string voce = index >= 0 && index < static_cast<int>(array.size()) ? array[static_cast<size_t>(index)] : "";
        Log::f("Colore selezionato: index=%d stringa=:%@:", static_cast<long long>(index), voce.substr(0, voce.find(' ')));
        if (!scelta_.articoloCorrente) return;
        const std::vector<Colore> colori = scelta_.articoloCorrente->colori();
        if (index < 0 || index >= static_cast<int>(colori.size())) return;
        impostaColoreByBarcode(colori[static_cast<size_t>(index)].barCode());
        Log::f("Colore corrente : %@", scelta_.coloreDigitato);
    }
}

void InserimentoSceltaViewController::accessoryTapped(int section, int row) {
    if (section == Sezione::SezioneCliente) {
        Log::line("Cliente detail button tapped !!!");
        if (scelta_.clienteCorrente && navigation_)
            navigation_->openClientDetail(*this, *scelta_.clienteCorrente, session_);
    }
    if (section == Sezione::SezioneArticolo && row == 0) {
        Log::line("Articolo detail button tapped !!!");
        if (!scelta_.articoloCorrente || !navigation_) return;
        std::weak_ptr<Screen> alive = weak_from_this();
        navigation_->openArticleDetail(*this, *scelta_.articoloCorrente, scelta_.coloreCorrente, session_,
                                       [this, alive](const Giacenza& giacenza) {
                                           if (alive.lock()) setGiacenza(giacenza);
                                       });
    }
}

void InserimentoSceltaViewController::buttonTapped(const std::string& action, ui::IndexPath where) {
    (void)where;
    if (action == "confirmTapped") confirmTapped();
    else if (action == "tccTapped") tccTapped();
    else if (action == "previousTapped") previousTapped();
}

void InserimentoSceltaViewController::switchChanged(const std::string& action, bool on, ui::IndexPath where) {
    (void)where;
    // The switch reports its new position; the controller flips its own, so they agree.
    if (action == "autoTCCSwitched" && on != scelta_.autoTccSwitch) autoTCCSwitched();
    redraw();
}

// ---- text fields ----

void InserimentoSceltaViewController::textFieldDidBeginEditing(int tag) {
    testoAllInizio_.erase(tag);
    for (const ui::Section& section : sections())
        for (const ui::Row& row : section.rows)
            for (const ui::Item& item : row.items)
                if (const auto* field = std::get_if<ui::TextField>(&item); field && field->tag == tag)
                    testoAllInizio_[tag] = field->text;
    afterDelay(kDelay, [this, tag] { ui().scrollTo(*this, {tag, 0}, ui::ScrollPosition::Middle); });
    const bool conListino = scelta_.listinoCorrente.has_value();
    const auto rifiuta = [this](const char* message) {
        avvisa("Attenzione", message);
        ui().endEditing(*this);
    };
    switch (tag) {
        case Sezione::SezioneArticolo:
        case Sezione::SezioneQuantita:
            if (!conListino) rifiuta("Prima imposta un Listino !!!");
            break;
        case Sezione::SezioneColore:
            if (!conListino) rifiuta("Prima imposta un Listino !!!");
            else if (!scelta_.articoloCorrente) rifiuta("Ora devi impostare un Articolo !!!");
            break;
        case Sezione::SezioneNota:
            if (!conListino) rifiuta("Prima imposta un Listino !!!");
            else scelta_.immissioneNotaInCorso = true;
            break;
        default: break;
    }
}

bool InserimentoSceltaViewController::shouldChangeCharacters(int tag, const std::string& newText) {
    const bool conListino = scelta_.listinoCorrente.has_value();
    const bool conArticolo = scelta_.articoloCorrente.has_value();
    if (tag == Sezione::SezioneQuantita) {
        Log::line(" ... SceltaQuantitaCell shouldChangeCharactersInRange ");
        if (!conListino || !conArticolo) {
            boopa();
            return false;
        }
        // The quantity follows the field while typing, in the user's notation ("2,5").
        std::string text = newText;
        std::replace(text.begin(), text.end(), ',', '.');
        scelta_.quantitaCorrente = ScanText::leadingDouble(text);
        return true;
    }
    if ((tag == Sezione::SezioneColore && (!conListino || !conArticolo)) || (tag == Sezione::SezioneArticolo && !conListino)) {
        boopa();
        return false;
    }
    return true;
}

void InserimentoSceltaViewController::textFieldDidEndEditing(int tag, const std::string& text) {
    Log::f("Scelta textFieldDidEndEditing: %@", text);
    // The price-list and article fields show a description or a code, not the barcode they
    // are set by: leaving one unchanged must not look that text up and lose the value.
    auto inizio = testoAllInizio_.find(tag);
    const bool invariato = inizio != testoAllInizio_.end() && inizio->second == text;
    if (inizio != testoAllInizio_.end()) testoAllInizio_.erase(inizio);
    if (invariato && (tag == Sezione::SezioneListino || tag == Sezione::SezioneArticolo || tag == Sezione::SezioneColore)) return;
    switch (tag) {
        case Sezione::SezioneListino: impostaListino(text); break;
        case Sezione::SezioneArticolo: impostaArticolo(text); break;
        case Sezione::SezioneColore: {
            // A colour may be typed as its code: the article's colour of that code gives the barcode.
            std::shared_ptr<Database> database = store();
            std::optional<Colore> colore;
            if (database && scelta_.articoloCorrente) colore = database->fetchColoreByArticolo(*scelta_.articoloCorrente, text);
            impostaColoreByBarcode(colore ? colore->barCode() : std::optional<std::string>(text));
            afterDelay(kDelay, [this] { ui().scrollTo(*this, {Sezione::SezioneQuantita, 0}, ui::ScrollPosition::Middle); });
            break;
        }
        case Sezione::SezioneQuantita: impostaQuantita(text); break;
        case Sezione::SezioneNota:
            impostaNota(text);
            scelta_.immissioneNotaInCorso = false;
            break;
        default: break;
    }
}

}  // namespace torvane
