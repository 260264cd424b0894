#include "clients/DettaglioClienteViewController.h"

#include "clients/DettaglioClienteDemo.h"
#include "clients/DettaglioClienteLandscapeViewController.h"
#include "clients/FormatiStatistica.h"
#include "clients/SezioneEtichette.h"
#include "clients/Sezione5Label.h"
#include "clients/SezioneSintesiCollezioni.h"
#include "clients/VenditeCollezione.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Ui.h"
#include "session/CompanySession.h"
#include "store/Database.h"

namespace torvane {

namespace {

constexpr const char* kLog = "DettaglioClienteViewController - ";
constexpr const char* kOrizzontale = "apriDettaglioOrizzontale";

std::string testo(const std::optional<std::string>& value) { return value.value_or(""); }
Decimal cifra(const std::optional<Decimal>& value) { return value.value_or(Decimal()); }

// What one article sold, its "T+CC" types left out.
struct Venduto {
    Decimal quantita, pezzi, valore;
};

Venduto vendutoSenzaTCC(const std::vector<VenditeCollezione::Tipo>& tipi) {
    Venduto venduto;
    for (const auto& tipo : tipi) {
        if (tipo.codice == "T+CC") continue;
        venduto.quantita += tipo.quantita;
        venduto.pezzi += tipo.pezzi;
        venduto.valore += tipo.valore;
    }
    return venduto;
}

}  // namespace

DettaglioClienteViewController::DettaglioClienteViewController(ui::Ui& ui, const Cliente& cliente,
                                                               std::shared_ptr<CompanySession> session)
    : Screen(ui),
      session_(std::move(session)),
      cliente_(cliente),
      isDemoEnabled_(Preferences::standard().boolForKey(keys::pref_demoStatClienteEnabled)) {
    setTitle(testo(cliente_.ragioneSociale1()));
    initWithCliente();
}

std::shared_ptr<Database> DettaglioClienteViewController::store() const {
    return session_ ? session_->store() : nullptr;
}

void DettaglioClienteViewController::aggiungi(std::unique_ptr<Sezione> sezione) {
    sezioni_.push_back(std::move(sezione));
}

void DettaglioClienteViewController::initWithCliente() {
    if (isDemoEnabled_) {
        sezioni_ = DettaglioClienteDemo::sezioni();
        return;
    }
    auto database = store();
    if (!database) return;
    const std::string codice = testo(cliente_.codice());
    const bool conEsposizione = sezioneEsposizione(*database);
    if (auto stat = database->fetchStatClienteByCodice(codice)) {
        const std::vector<StatCollezione> collezioni = stat->collezioni();
        sezioneSintesi(*stat);
        for (const StatCollezione& collezione : collezioni) sezioneDettaglio(*database, collezione);
        collezioneCorrente_.reset();
    }
    sezioniAgenti(*database);
    const bool conPagamento = sezionePagamento(*database);
    sezioneCondizioni(*database, conPagamento, conEsposizione);
    sezioneNote();
}

bool DettaglioClienteViewController::sezioneEsposizione(Database& database) {
    auto esposizione = database.fetchEsposizioneClienteByCodice(testo(cliente_.codice()));
    if (!esposizione) return false;
    auto sezione = std::make_unique<SezioneEtichette>(3, "Esposizione", 3);
    for (const Esposizione& voce : esposizione->esposizione())
        sezione->addRiga({testo(voce.descrizione()), "", formati::esposizione(cifra(voce.valore()))});
    Log::f(std::string(kLog) + "Creata Sezione Esposione : %@ da Field=%d Righe:%d", sezione->titolo,
           sezione->numField, sezione->numeroRighe());
    aggiungi(std::move(sezione));
    return true;
}

void DettaglioClienteViewController::sezioneSintesi(const StatCliente& stat) {
    auto sezione = std::make_unique<SezioneSintesiCollezioni>("Sintesi per Collezione", 5);
    sezione->addRiga({"Collezione", "Q.ta", "Pz", testo(stat.divisa()), "PrM"});
    Decimal totQuantita, totPezzi, totValore;
    // Quantities add up only while every collection counts in the same unit.
    std::optional<std::string> umComune;
    bool stessaUm = true;
    for (const StatCollezione& collezione : stat.collezioni()) {
        const std::string um = testo(collezione.um());
        const Decimal quantita = cifra(collezione.totQuantita());
        const Decimal pezzi = cifra(collezione.totPezzi());
        const Decimal valore = cifra(collezione.totValore());
        sezione->addCollezione({format("%@ %@", testo(collezione.codice()), um), formati::quantita(quantita),
                                formati::pezzi(pezzi, 3), formati::valori(valore),
                                formati::prezzo(formati::prezzoAlMetro(valore, quantita))},
                               valore);
        if (!um.empty() && !umComune) umComune = um;
        totQuantita += quantita;
        totPezzi += pezzi;
        totValore += valore;
    }
    // A collection without a unit, when others have one, counts as different.
    if (umComune) {
        for (const StatCollezione& collezione : stat.collezioni())
            if (testo(collezione.um()) != *umComune) stessaUm = false;
    }
    if (stessaUm)
        sezione->addRiga({"Totale", formati::quantita(totQuantita), formati::pezzi(totPezzi, 4),
                          formati::valori(totValore),
                          formati::prezzoTotale(formati::prezzoAlMetro(totValore, totQuantita))});
    else
        sezione->addRiga({"Totale", "", "", formati::valori(totValore), ""});
    Log::f(std::string(kLog) + "Creata Sezione Sintesi Collezione : %@ da Field=%d Righe:%d", sezione->titolo,
           sezione->numField, sezione->numeroRighe());
    aggiungi(std::move(sezione));
}

void DettaglioClienteViewController::sezioneDettaglio(Database& database, const StatCollezione& collezione) {
    collezioneCorrente_ = collezione;
    const std::string codice = testo(collezione.codice());
    const std::string um = testo(collezione.um());
    const std::string divisa = testo(collezione.divisa());
    auto sezione = std::make_unique<Sezione5Label>(format("Dettaglio Collezione %@", codice), 5);
    sezione->addRiga({"Articolo", um.empty() ? "--" : um, "Pz", divisa.empty() ? "---" : divisa, "PrM"});

    // In code order: the store reads them sorted.
    const auto articoli = VenditeCollezione::leggi(database, collezione);
    const Decimal zero, uno = Decimal::fromInteger(1);
    Venduto totale;
    for (const auto& articolo : articoli.value_or(std::vector<VenditeCollezione::Articolo>{})) {
        if (!articolo.conBusiness) continue;
        const Venduto venduto = vendutoSenzaTCC(articolo.tipi);
        if (venduto.quantita > zero || venduto.valore > zero || formati::intero(venduto.pezzi) >= uno)
            sezione->addRiga({articolo.codice, formati::quantita(venduto.quantita), formati::pezzi(venduto.pezzi, 4),
                              formati::valori(venduto.valore),
                              formati::prezzoConPunto(formati::prezzoAlMetro(venduto.valore, venduto.quantita))});
        totale.quantita += venduto.quantita;
        totale.pezzi += venduto.pezzi;
        totale.valore += venduto.valore;
    }
    if (totale.quantita <= zero && totale.pezzi <= zero && totale.valore <= zero) return;
    sezione->addRiga({format("Tot.%@", codice), formati::quantita(totale.quantita), formati::pezzi(totale.pezzi, 4),
                      formati::valori(totale.valore),
                      formati::prezzoTotale(formati::prezzoAlMetro(totale.valore, totale.quantita))});
    Log::f(std::string(kLog) + "Creata Sezione Dettaglio Collezione : %@ da Field=%d Righe:%d", sezione->titolo,
           sezione->numField, sezione->numeroRighe());
    aggiungi(std::move(sezione));
}

void DettaglioClienteViewController::sezioniAgenti(Database& database) {
    for (const AgenteCompetenza& competenza : cliente_.agenti()) {
        const std::string codice = testo(competenza.agente());
        auto agente = database.fetchAgenteByCodice(codice);
        if (!agente) continue;
        const std::string nome = testo(agente->ragioneSociale());
        if (nome.empty()) continue;
        std::string titolo = format("Agente: %@", codice);
        if (const std::string unit = testo(competenza.businessUnit()); !unit.empty())
            titolo += format(" Business Unit: %@", unit);
        auto sezione = std::make_unique<SezioneEtichette>(1, titolo, 2);
        sezione->addRiga({nome});
        Log::f(std::string(kLog) + "Creata Sezione %d, %@ Field=%d Righe:%d", static_cast<long long>(sezioni_.size()),
               sezione->titolo, sezione->numField, sezione->numeroRighe());
        aggiungi(std::move(sezione));
    }
}

bool DettaglioClienteViewController::sezionePagamento(Database& database) {
    const std::string codice = testo(cliente_.pagamento());
    if (codice.empty()) return false;
    auto pagamento = database.fetchPagamentoByCodice(codice);
    const std::string descrizione = pagamento ? testo(pagamento->descrizione()) : std::string();
    if (descrizione.empty()) return false;
    auto sezione = std::make_unique<SezioneEtichette>(1, format("Pagamento: %@", codice), 2);
    sezione->addRiga({descrizione});
    Log::f(std::string(kLog) + "Creata Sezione %@ Field=%d Righe:%d", sezione->titolo, sezione->numField,
           sezione->numeroRighe());
    aggiungi(std::move(sezione));
    return true;
}

void DettaglioClienteViewController::sezioneCondizioni(Database& database, bool conPagamento, bool conEsposizione) {
    auto sezione = std::make_unique<SezioneEtichette>(2, "Condizioni di Vendita", 2);
    if (const std::string codice = testo(cliente_.spedizioniere()); !codice.empty()) {
        auto spedizioniere = database.fetchSpedizioniereByCodice(codice);
        const std::string nome = spedizioniere ? testo(spedizioniere->ragioneSociale()) : std::string();
        sezione->addRiga({"Corriere", nome.empty() ? codice : nome});
    }
    if (const std::string abbonamento = testo(cliente_.abbonamento()); !abbonamento.empty())
        sezione->addRiga({"Abbonamento", abbonamento});
    if (const std::string pagamento = testo(cliente_.pagamento()); !pagamento.empty() && !conPagamento)
        sezione->addRiga({"Pagamento", pagamento});
    if (const std::string fido = testo(cliente_.fido()); !fido.empty() && !conEsposizione)
        sezione->addRiga({"Fido", fido});
    Log::f(std::string(kLog) + "Creata Sezione %@ Field=%d Righe:%d", sezione->titolo, sezione->numField,
           sezione->numeroRighe());
    aggiungi(std::move(sezione));
}

void DettaglioClienteViewController::sezioneNote() {
    const std::string note = testo(cliente_.note());
    if (note.empty()) return;
    auto sezione = std::make_unique<SezioneEtichette>(1, "Note", 1);
    sezione->addRiga({note});
    Log::f(std::string(kLog) + "Creata Sezione %@ Field=%d Righe:%d", sezione->titolo, sezione->numField,
           sezione->numeroRighe());
    aggiungi(std::move(sezione));
}

int DettaglioClienteViewController::numberOfRows(int section) const {
    if (section < 0 || section >= numberOfSections()) return 0;
    return sezioni_[static_cast<size_t>(section)]->numeroRighe();
}

ui::Row DettaglioClienteViewController::rowAt(int section, int row) const {
    if (section < 0 || section >= numberOfSections()) return {};
    return sezioni_[static_cast<size_t>(section)]->riga(row);
}

ui::SectionHeader DettaglioClienteViewController::sectionHeader(int section) const {
    if (section < 0 || section >= numberOfSections()) return {};
    const Sezione& sezione = *sezioni_[static_cast<size_t>(section)];
    return {sezione.titolo, sezione.footer};
}

std::vector<ui::NavigationButton> DettaglioClienteViewController::navigationButtons() const {
    return {{kOrizzontale, "Orizzontale", ui::NavigationSide::Right}};
}

void DettaglioClienteViewController::didSelectRow(int section, int row) {
    (void)section, (void)row;
    apriDettaglioOrizzontale();
}

void DettaglioClienteViewController::navigationButtonTapped(const std::string& action) {
    if (action == kOrizzontale) apriDettaglioOrizzontale();
}

void DettaglioClienteViewController::apriDettaglioOrizzontale() {
    ui().push(*this, std::make_shared<DettaglioClienteLandscapeViewController>(ui(), cliente_, session_));
}

}  // namespace torvane
