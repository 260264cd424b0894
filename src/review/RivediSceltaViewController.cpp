#include "review/RivediSceltaViewController.h"

#include <filesystem>

#include "photos/FotoCache.h"
#include "screens/GenericField.h"
#include "screens/GenericTableViewController.h"
#include "screens/PartitaIva.h"
#include "devices/FirmaViewController.h"
#include "devices/Signature.h"
#include "screens/ComboViewController.h"
#include "store/OrderStoreUnit.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/NumberFormat.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Ui.h"
#include "platform/ui/LabelBuilder.h"
#include "review/DatiObbligatori.h"
#include "review/ReportScelta.h"
#include "review/RivediSceltaContent.h"
#include "rules/LineAmount.h"
#include "session/CompanySession.h"
#include "store/Database.h"
#include "store/OrderStatus.h"
#include "store/StoreFailure.h"

namespace torvane {

namespace {

constexpr const char* kDestinazioni = "Destinazioni";
constexpr const char* kAgenti = "Agenti";
constexpr const char* kFormDestinazione = "Destinazione / Punto Vendita";

const NumberFormat& qtaFormatter() {
    static const NumberFormat formatter("##,##0.00");
    return formatter;
}
const NumberFormat& przFormatter() {
    static const NumberFormat formatter("###0.00");
    return formatter;
}
const NumberFormat& noDecimalFormatter() {
    static const NumberFormat formatter("####0");
    return formatter;
}

bool preferenza(std::string_view key) { return Preferences::standard().boolForKey(key); }

ui::Button pulsante(std::string action, std::string title, std::string pressedTitle, bool enabled, bool hidden = false) {
    ui::Button made;
    made.action = std::move(action);
    made.title = std::move(title);
    made.pressedTitle = std::move(pressedTitle);
    made.enabled = enabled;
    made.hidden = hidden;
    return made;
}

// The two big buttons at the foot of the review: white text on their colour.
ui::Button pieno(ui::Button button, ui::Color background) {
    button.background = background;
    button.color = ui::Color{255, 255, 255};
    return button;
}

std::string testoImporto(const std::optional<Decimal>& importo) {
    return importo ? przFormatter().format(*importo) : std::string();
}

}  // namespace

RivediSceltaViewController::RivediSceltaViewController(ui::Ui& ui, long long codiceTestata,
                                                       std::shared_ptr<CompanySession> session)
    : Screen(ui), codiceTestata_(codiceTestata), session_(std::move(session)) {
    // These four shape the table and are read once, as the screen is built.
    negozioUgualeDestinazione_ = preferenza(keys::pref_NEGOZIOEQDESTENABLED);
    conListaBusinessUnit_ = preferenza(keys::pref_BUSUNITLISTENABLED);
    conInfoCommerciali_ = preferenza(keys::pref_INFOCOMMENABLED);
    firmaInCalce_ = preferenza(keys::pref_FIRMAENABLED);
    carica();
}

std::shared_ptr<Database> RivediSceltaViewController::store() const {
    return session_ ? session_->store() : nullptr;
}

Timestamp RivediSceltaViewController::now() const {
    return clock_ ? clock_() : std::chrono::system_clock::now();
}

bool RivediSceltaViewController::inviato() const {
    return ordineTestata_ && ordineTestata_->dataTrasmissione().has_value();
}

std::string RivediSceltaViewController::estraiCodiceFromDescrizione(const std::string& descrizione) {
    return ReportScelta::estraiCodiceFromDescrizione(descrizione);
}

void RivediSceltaViewController::carica() {
    auto db = store();
    if (!db) return;
    ordineTestata_ = db->fetchSceltaTestataByCodice(codiceTestata_);
    if (!ordineTestata_) {
        Log::f("Ordine %d non trovato", codiceTestata_);
        return;
    }
    caricaRighe();
    ordineCliente_ = db->fetchClienteByCodice(ordineTestata_->cliente().value_or(""));
    ordineListino_ = db->fetchListinoByBarCode(ordineTestata_->listinoTestata().value_or(""));
    setTitle(ordineCliente_ ? ordineCliente_->ragioneSociale1().value_or("") : ordineTestata_->clienteRagioneSociale().value_or(""));
    auto riepilogo = RivediSceltaContent::riepilogo(*db, ordineRighe_, ordineCliente_, ordineListino_);
    noteDesc_ = std::move(riepilogo.descrizioni);
    noteCont_ = std::move(riepilogo.valori);
    firmaPath_.clear();
    if (auto firma = ordineTestata_->firma(); firma && !firma->empty()) {
        // The signature is the customer's: it is drawn from a folder only this user can read.
        if (!cartella_) cartella_ = PrivateTempFolder::create("firma");
        const std::string nome = format("firma%d.png", static_cast<long long>(++versioneFirma_));
        if (cartella_ && cartella_->write(nome, std::string(firma->begin(), firma->end()))) firmaPath_ = cartella_->file(nome);
    }
}

void RivediSceltaViewController::caricaRighe() {
    auto db = store();
    ordineRighe_ = db && ordineTestata_ ? db->fetchAllSceltaRigaByTestata(*ordineTestata_).value_or(std::vector<SceltaRiga>{})
                                        : std::vector<SceltaRiga>{};
    taglie_.assign(ordineRighe_.size(), std::nullopt);
}

const std::vector<SceltaTaglia>& RivediSceltaViewController::taglieDi(std::size_t indice) const {
    if (!taglie_[indice]) taglie_[indice] = ordineRighe_[indice].sceltaTaglie();
    return *taglie_[indice];
}

// ---- appearing ----

void RivediSceltaViewController::viewWillAppear() {
    const bool apertura = !giaApparso_;
    giaApparso_ = true;
    compare();
    if (apertura && ordineTestata_ && !inviato() && preferenza(keys::pref_SUBITONOTEENABLED)) {
        afterDelay(std::chrono::milliseconds(300), [this] {
            ui().scrollTo(*this, {static_cast<int>(ordineRighe_.size()) + kNote, 0}, ui::ScrollPosition::Middle);
        });
    }
}

void RivediSceltaViewController::compare() {
    auto db = store();
    if (!db || !ordineTestata_) return;
    if (ordineRighe_.empty()) {
        ui().showAlert(ui::Alert::simple("Attenzione", "Non ci sono righe Ordine !!!", "Continua"));
        return;
    }
    const bool aperto = !inviato();
    if (negozioUgualeDestinazione_ && ordineCliente_ && aperto && ordineCliente_->destinazioni().empty()) {
        // A client without destinations gets one made from its own data, to be completed here.
        ordineTestata_->setClienteDestinazione(std::string("NEW_1"));
        const Cliente& c = *ordineCliente_;
        db->createDestinazioneWithCodice(
            "NEW_1", c,
            {{"abituale", 0LL},           {"cap", c.column("cap")},
             {"citta", c.column("citta")}, {"codiceFiscale", c.column("codiceFiscale")},
             {"indirizzo1", c.column("indirizzo1")}, {"indirizzo2", c.column("indirizzo2")},
             {"nazione", c.column("nazione")}, {"partitaIva", c.column("partitaIva")},
             {"provincia", c.column("provincia")}, {"ragioneSociale1", c.column("ragioneSociale1")},
             {"ragioneSociale2", c.column("ragioneSociale2")}, {"ragioneSociale3", c.column("ragioneSociale3")},
             {"fax", c.column("fax")},     {"telefono", c.column("telefono")},
             {"email", c.column("email")}});
        salva();
    }
    destinazioneCorrente_.reset();
    noteDestinazioneDesc_.clear();
    noteDestinazioneCont_.clear();
    busUnitList_.clear();
    if (ordineCliente_) {
        const std::string codice = ordineTestata_->clienteDestinazione().value_or("");
        if (!codice.empty()) {
            destinazioneCorrente_ = db->fetchDestinazioneByCodice(codice, *ordineCliente_);
        } else {
            auto destinazioni = ordineCliente_->destinazioni();
            if (destinazioni.size() == 1 && destinazioni.front().codice()) destinazioneCorrente_ = destinazioni.front();
        }
    }
    if (destinazioneCorrente_ && negozioUgualeDestinazione_) {
        if (conInfoCommerciali_) {
            if (!destinazioneCorrente_->destinazioneInfo() && aperto) {
                // Chosen automatically, the header has no destination code: the record is
                // named after the destination's own code.
                std::string codiceDestinazione = ordineTestata_->clienteDestinazione().value_or("");
                if (codiceDestinazione.empty()) codiceDestinazione = destinazioneCorrente_->codice().value_or("");
                if (auto info = db->createClienteInfoWithCodice(
                        format("%@-%@", ordineTestata_->cliente().value_or(""), codiceDestinazione)))
                    info->setDestinazione(*destinazioneCorrente_);
                salva();
            }
            auto info = destinazioneCorrente_->destinazioneInfo();
            for (const Parametro& parametro : db->fetchAllMatchesParametro("DES-").value_or(std::vector<Parametro>{})) {
                auto attributo = RivediSceltaContent::attributoNumerato(parametro.attributo().value_or(""), "DES-");
                noteDestinazioneDesc_.push_back(parametro.descrizione().value_or(""));
                noteDestinazioneCont_.push_back(info && attributo ? info->stringValue(*attributo).value_or("") : "");
            }
            if (!info) {
                Log::line("Qui non e' possibile NON avere una DestinazioneInfo collegata alla Destinazione");
                return;
            }
        }
        if (conListaBusinessUnit_) busUnitList_ = db->fetchAllBusinessUnit().value_or(std::vector<BusinessUnit>{});
    }
    if (negozioUgualeDestinazione_ && !destinazioneCorrente_)
        ui().showAlert(ui::Alert::simple("Attenzione", "Seleziona la Destinazione Merce e Conferma i dati statistici !!", "OK"));
    redraw();
}

bool RivediSceltaViewController::salva() {
    auto db = store();
    if (!db) return false;
    try {
        db->commit();
        return true;
    } catch (const StoreFailure&) {
        db->rollback();
        ui().showAlert(ui::Alert::simple("Attenzione !!", "Errore durante il salvataggio delle modifiche sul database", "Continua"));
        return false;
    }
}

void RivediSceltaViewController::torna() {
    Log::line("Torno alla vista padre ...");
    ui().pop(*this);
}

// ---- the table ----

int RivediSceltaViewController::numberOfSections() const {
    return ordineTestata_ ? static_cast<int>(ordineRighe_.size()) + kSezioni : 0;
}

int RivediSceltaViewController::numberOfRows(int section) const {
    if (sezioneRiga(section)) {
        const auto indice = static_cast<std::size_t>(section);
        return 1 + static_cast<int>(taglieDi(indice).size());
    }
    switch (section - static_cast<int>(ordineRighe_.size())) {
    case kRiepilogo: return static_cast<int>(noteDesc_.size());
    case kNote: return preferenza(keys::pref_NOTEENABLED) ? 1 : 0;
    case kDestinazione: return 1 + static_cast<int>(noteDestinazioneDesc_.size());
    case kProdotti: return conListaBusinessUnit_ ? static_cast<int>(busUnitList_.size()) : 0;
    case kAgente: return preferenza(keys::pref_CAMBIOAGENTEENABLED) ? 1 : 0;
    case kPriorita: return preferenza(keys::pref_PRIORITAENABLED) ? 2 : 0;
    case kFirma: return firmaInCalce_ ? 1 : 0;
    case kInvia:
    case kSospendi: return 1;
    default: return 0;
    }
}

ui::SectionHeader RivediSceltaViewController::sectionHeader(int section) const {
    if (sezioneRiga(section)) {
        const auto indice = static_cast<std::size_t>(section);
        return {"", conTaglie(indice) ? "" : ordineRighe_[indice].nota().value_or("")};
    }
    switch (section - static_cast<int>(ordineRighe_.size())) {
    case kRiepilogo: return {"Riepilogo ordine", ""};
    case kNote: {
        if (!preferenza(keys::pref_NOTEENABLED)) return {};
        const std::string titolo = Preferences::standard().stringForKey(keys::pref_NOTE).value_or("");
        return {titolo.empty() ? "Note" : titolo, ""};
    }
    case kDestinazione: return {"Destinazione", ""};
    case kProdotti: return {conListaBusinessUnit_ && !busUnitList_.empty() ? "Prodotti Trattati" : "", ""};
    case kAgente: return {preferenza(keys::pref_CAMBIOAGENTEENABLED) ? "Agente" : "", ""};
    case kPriorita: return {preferenza(keys::pref_PRIORITAENABLED) ? "Priorita'" : "", ""};
    case kFirma: return {firmaInCalce_ ? "Firma" : "", ""};
    default: return {};
    }
}

ui::Row RivediSceltaViewController::rowAt(int section, int row) const {
    if (!sezioneRiga(section)) return rigaFissa(section - static_cast<int>(ordineRighe_.size()), row);
    const SceltaRiga& riga = ordineRighe_[static_cast<std::size_t>(section)];
    const auto indice = static_cast<std::size_t>(section);
    ui::Row made = conTaglie(indice) ? rigaTaglie(indice, row) : rigaSenzaTaglie(riga);
    // Only a line's first row deletes it, and never the last line of an order.
    made.deletable = row == 0 && !inviato() && ordineRighe_.size() > 1;
    return made;
}

ui::Row RivediSceltaViewController::rigaSenzaTaglie(const SceltaRiga& riga) const {
    auto db = store();
    const std::string colore = riga.colore().value_or("");
    const std::string descrizione =
        db ? RivediSceltaContent::descrizioneRiga(*db, riga, preferenza(keys::pref_DESCCOLOREENABLED), true) : "";
    ui::Row made;
    made.items = {ui::label(RivediSceltaContent::articoloRiga(riga), ui::TextStyle::Bold), ui::label(colore),
                  ui::label(descrizione)};
    const auto quantita = riga.quantita();
    if (colore == "T+CC") {
        made.items.insert(made.items.end(),
                          {ui::label("N."),
                           ui::label(format("%d  ", static_cast<long long>(quantita.value_or(0))), ui::TextStyle::Normal,
                                     ui::Alignment::Right),
                           ui::label(""), ui::label(""), ui::label("")});
    } else {
        const std::string um = ordineListino_ ? ordineListino_->um().value_or("") : "";
        const std::string divisa = ordineListino_ ? ordineListino_->divisa().value_or("") : "";
        const auto prezzo = riga.prezzo();
        made.items.insert(made.items.end(),
                          {ui::label(um),
                           ui::label(format("%@ x", qtaFormatter().format(quantita.value_or(0))), ui::TextStyle::Normal,
                                     ui::Alignment::Right),
                           ui::label(testoImporto(prezzo), ui::TextStyle::Normal, ui::Alignment::Right), ui::label(divisa),
                           ui::label(testoImporto(LineAmount::of(prezzo, quantita)), ui::TextStyle::Bold,
                                     ui::Alignment::Right)});
    }
    made.selectable = false;
    return made;
}

ui::Row RivediSceltaViewController::rigaTaglie(std::size_t indice, int row) const {
    const SceltaRiga& riga = ordineRighe_[indice];
    ui::Row made;
    const std::string um = ordineListino_ ? ordineListino_->um().value_or("") : "";
    if (row == 0) {
        auto db = store();
        const std::string divisa = ordineListino_ ? ordineListino_->divisa().value_or("") : "";
        const std::string descrizione =
            db ? RivediSceltaContent::descrizioneRiga(*db, riga, preferenza(keys::pref_DESCCOLOREENABLED), false) : "";
        made.items = {ui::Image{immagineArticolo(riga.articolo().value_or("")), 60, 60},
                      ui::label(RivediSceltaContent::articoloRiga(riga), ui::TextStyle::Bold),
                      ui::label(riga.colore().value_or("")),
                      ui::label(descrizione),
                      ui::label(riga.nota().value_or(""), ui::TextStyle::Detail),
                      ui::label(noDecimalFormatter().format(riga.quantita().value_or(0)), ui::TextStyle::Normal,
                                ui::Alignment::Right),
                      ui::label(divisa),
                      ui::label(testoImporto(riga.prezzo()), ui::TextStyle::Bold, ui::Alignment::Right)};
        made.height = 64;
        return made;
    }
    const auto& taglie = taglieDi(indice);
    if (row - 1 >= static_cast<int>(taglie.size())) return made;
    const SceltaTaglia& taglia = taglie[static_cast<std::size_t>(row - 1)];
    const long long quantita = taglia.quantita().value_or(0);
    const std::string testoQuantita = um == "NR" ? format("%@  x", noDecimalFormatter().format(quantita))
                                                 : format("%@ x", qtaFormatter().format(quantita));
    made.items = {ui::label(taglia.taglia().value_or("")),
                  ui::label(testoQuantita, ui::TextStyle::Normal, ui::Alignment::Right),
                  ui::label(testoImporto(taglia.prezzo()), ui::TextStyle::Normal, ui::Alignment::Right),
                  ui::label(testoImporto(LineAmount::of(taglia.prezzo(), static_cast<double>(quantita))),
                            ui::TextStyle::Normal, ui::Alignment::Right)};
    return made;
}

std::string RivediSceltaViewController::immagineArticolo(const std::string& codice) const {
    if (!session_) return FotoCache::sostituto();
    return FotoCache::suDisco(session_->photoFile(codice, FotoCache::Formato::Miniatura)).value_or(FotoCache::sostituto());
}

ui::Row RivediSceltaViewController::rigaFissa(int sezione, int row) const {
    ui::Row made;
    const bool sola = inviato();
    switch (sezione) {
    case kRiepilogo: {
        if (row >= static_cast<int>(noteDesc_.size())) break;
        ui::Label descrizione = ui::label(noteDesc_[static_cast<std::size_t>(row)], ui::TextStyle::Bold);
        descrizione.pointSize = 15;
        made.items = {descrizione, ui::label(noteCont_[static_cast<std::size_t>(row)], ui::TextStyle::Normal,
                                             ui::Alignment::Right)};
        made.selectable = false;
        break;
    }
    case kNote:
        made.items = {ui::MultilineText{kTagNote, ordineTestata_->note().value_or(""), !sola}};
        made.height = 120;
        made.selectable = false;
        break;
    case kDestinazione:
        if (row == 0) {
            for (auto& testo : RivediSceltaContent::righeDestinazione(destinazioneCorrente_)) made.items.push_back(ui::label(testo));
            made.items.front() = ui::label(std::get<ui::Label>(made.items.front()).text, ui::TextStyle::Bold);
            made.stacked = true;
            if (ordineCliente_ && !ordineCliente_->destinazioni().empty()) made.accessory = ui::Accessory::Disclosure;
        } else if (row - 1 < static_cast<int>(noteDestinazioneDesc_.size())) {
            made.items = {ui::label(noteDestinazioneDesc_[static_cast<std::size_t>(row - 1)], ui::TextStyle::Bold),
                          ui::label(noteDestinazioneCont_[static_cast<std::size_t>(row - 1)], ui::TextStyle::Normal,
                                    ui::Alignment::Right)};
            if (!sola) made.accessory = ui::Accessory::Disclosure;
        }
        break;
    case kProdotti: {
        if (row >= static_cast<int>(busUnitList_.size())) break;
        const BusinessUnit& unit = busUnitList_[static_cast<std::size_t>(row)];
        auto info = destinazioneCorrente_ ? destinazioneCorrente_->destinazioneInfo() : std::nullopt;
        bool on = false;
        if (info)
            for (const BusinessUnit& presente : info->businessUnits()) on = on || presente.codice() == unit.codice();
        made.items = {ui::Switch{format("bu:%d", static_cast<long long>(row)),
                                 format("[%@] %@", unit.codice().value_or(""), unit.descrizione().value_or("")), on, !sola}};
        made.selectable = false;
        break;
    }
    case kAgente: {
        auto db = store();
        made.items = {ui::label(db ? RivediSceltaContent::nomeAgente(*db, ordineTestata_->agente()) : "")};
        made.accessory = ui::Accessory::Disclosure;
        break;
    }
    case kPriorita:
        made.items = {row == 0 ? ui::Switch{"prioritaAssoluta", "Priorita' Assoluta",
                                            ordineTestata_->prioritaAssoluta().value_or(false), !sola}
                               : ui::Switch{"prioritaRelativa", "Priorita' Relativa",
                                            ordineTestata_->prioritaRelativa().value_or(false), !sola}};
        made.selectable = false;
        break;
    case kFirma: {
        ui::Button firma = pulsante("firma", "Firma", "", !sola, sola);
        made.items = {ui::Image{firmaPath_, 300, 100}, firma};
        made.height = 110;
        made.selectable = false;
        break;
    }
    case kInvia: {
        const bool fiera = preferenza(keys::pref_MODALITAFIERAENABLED);
        made.items = {pieno(pulsante("invia", sola ? "Re-Invia via email" : fiera ? "Registra Ordine" : "Invia Ordine",
                                     sola ? "Invia ancora via mail ..." : "Invia Ordine via mail ...", !invioInCorso_),
                            ui::Color{0, 122, 255})};
        made.selectable = false;
        break;
    }
    case kSospendi: {
        made.items = {pieno(pulsante("sospendi", sola ? "Duplica Ordine" : "Sospendi Ordine",
                                     sola ? "Duplico Ordine ..." : "Ordine in STAND-BY ...", !invioInCorso_),
                            ui::Color{76, 217, 100})};
        made.selectable = false;
        break;
    }
    default: break;
    }
    return made;
}

std::vector<ui::NavigationButton> RivediSceltaViewController::navigationButtons() const {
    if (!ordineTestata_ || inviato()) return {};
    return {{"edit", isEditing() ? "Fine" : "Modifica", ui::NavigationSide::Right}};
}

// ---- the agent's actions ----

void RivediSceltaViewController::didSelectRow(int section, int row) {
    if (!ordineTestata_) return;
    if (sezioneRiga(section)) {
        const SceltaRiga& riga = ordineRighe_[static_cast<std::size_t>(section)];
        if (!conTaglie(static_cast<std::size_t>(section))) return;
        auto db = store();
        auto articolo = db ? db->fetchArticoloByCodice(riga.articolo().value_or("")) : std::nullopt;
        if (!articolo || !consegnaArticolo_) {
            Log::f("Articolo %@ non consegnabile all'inserimento", riga.articolo().value_or(""));
            return;
        }
        consegnaArticolo_(*articolo);
        ui().pop(*this);
        return;
    }
    const int sezione = section - static_cast<int>(ordineRighe_.size());
    const bool aperto = ordineTestata_->status().value_or(stored(OrderStatus::Open)) == stored(OrderStatus::Open);
    if (sezione == kDestinazione && aperto) {
        if (row == 0)
            scegliDestinazione();
        else
            modificaAnagraficaDestinazione();
    } else if (sezione == kAgente) {
        scegliAgente();
    }
}

void RivediSceltaViewController::scegliDestinazione() {
    auto destinazioni = ordineCliente_ ? ordineCliente_->destinazioni() : std::vector<Destinazione>{};
    if (destinazioni.empty()) {
        ui().showAlert(ui::Alert::simple("Attenzione", "Non ho Destinazioni selezionabili!!!", "Continua"));
        return;
    }
    std::vector<std::string> voci;
    for (const Destinazione& destinazione : destinazioni) voci.push_back(RivediSceltaContent::voceDestinazione(destinazione));
    voci.push_back(format("[Sede] %@", ordineTestata_->clienteRagioneSociale().value_or("")));
    ui().push(*this, std::make_shared<ComboViewController>(ui(), kDestinazioni, 0, std::move(voci), this));
}

void RivediSceltaViewController::scegliAgente() {
    auto db = store();
    if (!db) return;
    std::vector<std::string> voci;
    for (const Agente& agente : db->fetchAllAgente().value_or(std::vector<Agente>{})) {
        if (!agente.ragioneSociale()) agente.setRagioneSociale(agente.codice());
        voci.push_back(format("[%@] %@", agente.codice().value_or(""), agente.ragioneSociale().value_or("")));
    }
    ui().push(*this, std::make_shared<ComboViewController>(ui(), kAgenti, 0, std::move(voci), this));
}

void RivediSceltaViewController::comboWithName(const std::string& name, int, const std::vector<std::string>& array,
                                               int index) {
    if (!ordineTestata_ || index < 0) return;
    if (name == kDestinazioni) {
        auto destinazioni = ordineCliente_ ? ordineCliente_->destinazioni() : std::vector<Destinazione>{};
        if (index >= static_cast<int>(destinazioni.size())) {
            ordineTestata_->setClienteDestinazione(std::nullopt);
            destinazioneCorrente_.reset();
        } else {
            const Destinazione& scelta = destinazioni[static_cast<std::size_t>(index)];
            ordineTestata_->setClienteDestinazione(scelta.codice());
            destinazioneCorrente_ = scelta;
        }
        salva();
        // The appearing steps run again as the picker goes and find the destination afresh.
    } else if (name == kAgenti) {
        if (index >= static_cast<int>(array.size())) return;
        ordineTestata_->setAgente(estraiCodiceFromDescrizione(array[static_cast<std::size_t>(index)]));
        salva();
    }
}

void RivediSceltaViewController::switchChanged(const std::string& action, bool on, ui::IndexPath where) {
    if (!ordineTestata_ || inviato()) return;
    if (action == "prioritaAssoluta") {
        ordineTestata_->setPrioritaAssoluta(on);
    } else if (action == "prioritaRelativa") {
        ordineTestata_->setPrioritaRelativa(on);
    } else if (action.rfind("bu:", 0) == 0) {
        auto info = destinazioneCorrente_ ? destinazioneCorrente_->destinazioneInfo() : std::nullopt;
        if (!info || where.row < 0 || where.row >= static_cast<int>(busUnitList_.size())) return;
        const BusinessUnit& unit = busUnitList_[static_cast<std::size_t>(where.row)];
        if (on)
            info->addTo("businessUnits", unit);
        else
            info->removeFrom("businessUnits", unit);
        destinazioneCorrente_->setFlagModifica(true);
    } else {
        return;
    }
    // Committed at once: a choice the agent made is never lost to a closed application.
    salva();
}

void RivediSceltaViewController::textFieldDidBeginEditing(int tag) {
    if (tag == kTagNote) noteInModifica_ = true;
}

bool RivediSceltaViewController::shouldChangeCharacters(int tag, const std::string& newText) {
    if (tag != kTagNote || !ordineTestata_ || inviato()) return false;
    ordineTestata_->setNote(newText);
    salva();
    return true;
}

void RivediSceltaViewController::textFieldDidEndEditing(int tag, const std::string& text) {
    if (tag != kTagNote) return;
    noteInModifica_ = false;
    if (!ordineTestata_ || inviato() || ordineTestata_->note().value_or("") == text) return;
    ordineTestata_->setNote(text);
    salva();
}

void RivediSceltaViewController::buttonTapped(const std::string& action, ui::IndexPath) {
    if (action == "invia")
        fineRivediSceltaTapped();
    else if (action == "sospendi")
        sospendiOrdineTapped();
    else if (action == "firma")
        firmaButtonTapped();
}

void RivediSceltaViewController::navigationButtonTapped(const std::string& action) {
    if (action == "edit") setEditing(!isEditing());
}

void RivediSceltaViewController::setEditing(bool editing) {
    if (editing && inviato()) return;
    if (editing && ordineRighe_.size() < 2)
        ui().showAlert(ui::Alert::simple(
            "Attenzione", "E' rimasta una sola riga ... invece di cancellar righe, cancella ordine!!!", "Continua"));
    Screen::setEditing(editing);
    redraw();
}

void RivediSceltaViewController::commitDeletion(int section, int row) {
    if (!sezioneRiga(section) || row != 0 || inviato() || ordineRighe_.size() < 2) return;
    auto db = store();
    if (!db) return;
    const SceltaRiga riga = ordineRighe_[static_cast<std::size_t>(section)];
    bool fatto = false;
    {
        // The sizes and their line go together or not at all.
        OrderStoreUnit unit(*db, "cancella_riga");
        if (unit.isOpen()) {
            for (const SceltaTaglia& taglia : riga.sceltaTaglie()) db->deleteGenericaSingolaRow(taglia);
            db->deleteSceltaWithSceltaRiga(riga);
            fatto = !riga.exists() && unit.commit();
        }
    }
    if (!fatto)
        ui().showAlert(ui::Alert::simple("Attenzione !!", "Errore durante il salvataggio delle modifiche sul database", "Continua"));
    carica();
    redraw();
}

// ---- the destination's registry data ----

void RivediSceltaViewController::modificaAnagraficaDestinazione() {
    auto db = store();
    auto info = destinazioneCorrente_ ? destinazioneCorrente_->destinazioneInfo() : std::nullopt;
    if (!db || !info) return;
    std::vector<GenericField> fields;
    for (const Parametro& parametro : db->fetchAllMatchesParametro("DES-").value_or(std::vector<Parametro>{})) {
        auto attributo = RivediSceltaContent::attributoNumerato(parametro.attributo().value_or(""), "DES-");
        if (!attributo) continue;
        const std::string valore = parametro.valore().value_or("");
        std::vector<std::string> valori;
        if (!valore.empty())
            for (std::string& parte : RivediSceltaContent::parti(valore, ';'))
                if (!parte.empty()) valori.push_back(std::move(parte));
        GenericField field = valori.empty()
                                 ? GenericField::initTypeSingleInputWithManagedObj(*info, *attributo)
                                 : GenericField::initTypeValueChoiceWithManagedObj(*info, *attributo, valori);
        field.setTitolo(parametro.descrizione().value_or(""));
        fields.push_back(std::move(field));
    }
    formDestinazione_ = std::make_shared<GenericTableViewController>(ui(), kFormDestinazione, std::move(fields), this);
    ui().presentModal(*this, formDestinazione_);
}

void RivediSceltaViewController::genericTableControllerWithName(const std::string& name, const std::string& button) {
    if (name != kFormDestinazione || !formDestinazione_) return;
    auto db = store();
    if (!db) return;
    auto chiudi = [this] {
        auto form = std::move(formDestinazione_);
        ui().dismissModal(*form);
    };
    if (button != "Conferma") {
        db->rollback();
        chiudi();
        compare();
        return;
    }
    auto errore = [this](const std::string& message) { ui().showAlert(ui::Alert::simple("Errore", message, "Continua")); };
    const Destinazione destinazione = *destinazioneCorrente_;
    if (destinazione.ragioneSociale1().value_or("").empty()) return errore("La Ragione Sociale e' obbligatoria !");
    if (auto partitaIva = destinazione.partitaIva().value_or(""); !partitaIva.empty())
        if (auto wrong = PartitaIva::problem(partitaIva)) return errore(*wrong);
    for (const std::string& mancante : DatiObbligatori::destinazione(*db, ordineCliente_, destinazione.destinazioneInfo()))
        ui().showAlert(ui::Alert::simple("Attenzione:", mancante, "Continua"));
    destinazione.setFlagModifica(true);
    salva();
    chiudi();
    compare();
}

// ---- the signature ----

void RivediSceltaViewController::firmaButtonTapped() {
    if (!ordineTestata_ || inviato()) return;
    firma_ = std::make_shared<FirmaViewController>(ui(), this);
    ui().presentModal(*this, firma_);
}

void RivediSceltaViewController::signaturePadDidCompleteWithSignature(const Signature& signature) {
    Log::line("-- Firma completata. --");
    Log::f("Hash value: %@", signature.hashString);
    Log::f("Frame: %@", signatureFrameText(signature.frame));
    if (ordineTestata_ && !inviato()) {
        ordineTestata_->setFirma(signature.imageData);
        salva();
    }
    if (auto pad = std::move(firma_)) ui().dismissModal(*pad);
    carica();
    redraw();
}

void RivediSceltaViewController::signaturePadDidCompleteWithNoData() {
    Log::line("SignaturePad signaturePadDidCompleteWithNoData");
    if (auto pad = std::move(firma_)) ui().dismissModal(*pad);
    redraw();
}

void RivediSceltaViewController::didDismissModalView() {
    Log::line("SignaturePad didDismissModalView");
    if (auto pad = std::move(firma_)) ui().dismissModal(*pad);
}

}  // namespace torvane
