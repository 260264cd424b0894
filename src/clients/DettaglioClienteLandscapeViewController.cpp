#include "clients/DettaglioClienteLandscapeViewController.h"

#include "clients/FormatiStatistica.h"
#include "clients/SezioneDettaglioCollezione.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "session/CompanySession.h"
#include "store/Database.h"
#include "store/StoreFailure.h"

namespace torvane {

namespace {

std::string testo(const std::optional<std::string>& value) { return value.value_or(""); }
Decimal cifra(const std::optional<Decimal>& value) { return value.value_or(Decimal()); }

// An article's figures, as kept in its record.
struct Cifre {
    Decimal tip, campQta, campPzNum, campPzQta, campVal, prodPzNum, prodPzQta, prodVal;
};

Cifre lette(const StatArticolo& articolo) {
    return {cifra(articolo.zTip()),      cifra(articolo.zCampQta()),   cifra(articolo.zCampPzNum()),
            cifra(articolo.zCampPzQta()), cifra(articolo.zCampVal()),   cifra(articolo.zProdPzNum()),
            cifra(articolo.zProdPzQta()), cifra(articolo.zProdVal())};
}

}  // namespace

DettaglioClienteLandscapeViewController::DettaglioClienteLandscapeViewController(ui::Ui& ui, const Cliente& cliente,
                                                                                 std::shared_ptr<CompanySession> session)
    : Screen(ui), session_(std::move(session)), cliente_(cliente) {
    setTitle(testo(cliente_.ragioneSociale1()));
    initWithCliente();
}

std::shared_ptr<Database> DettaglioClienteLandscapeViewController::store() const {
    return session_ ? session_->store() : nullptr;
}

void DettaglioClienteLandscapeViewController::initWithCliente() {
    auto database = store();
    if (!database) return;
    const std::string codice = testo(cliente_.codice());
    auto stat = database->fetchStatClienteByCodice(codice);
    if (!stat) return;
    for (const StatCollezione& collezione : stat->collezioni()) this->collezione(*database, codice, collezione);
    if (calcolati_ == 0) return;
    // One commit for every article worked out here: the figures stay until the next load.
    try {
        database->commit();
    } catch (const StoreFailure&) {
        // Already logged by the store; the figures are simply worked out again next time.
    }
}

void DettaglioClienteLandscapeViewController::calcola(const StatArticolo& articolo) {
    Cifre cifre;
    for (const StatBusiness& business : articolo.businesses()) {
        const std::string codiceBusiness = testo(business.codice());
        for (const StatTipo& tipo : business.tipi()) {
            const std::string codiceTipo = testo(tipo.codice());
            if (codiceBusiness == "Campionario") {
                if (codiceTipo == "T+CC") {
                    cifre.tip += cifra(tipo.quantita());
                } else if (codiceTipo == "Tir." || codiceTipo == "Met.") {
                    cifre.campQta += cifra(tipo.quantita());
                    cifre.campVal += cifra(tipo.valore());
                } else if (codiceTipo == "Pz.Ca.") {
                    cifre.campPzNum += cifra(tipo.pezzi());
                    cifre.campPzQta += cifra(tipo.quantita());
                    cifre.campVal += cifra(tipo.valore());
                } else {
                    Log::f("Campionario - Tipo %@: non conteggiato !!!", codiceTipo);
                }
            } else if (codiceBusiness == "Produzione") {
                if (codiceTipo == "Q.ta") {
                    cifre.prodPzNum += cifra(tipo.pezzi());
                    cifre.prodPzQta += cifra(tipo.quantita());
                    cifre.prodVal += cifra(tipo.valore());
                } else {
                    Log::f("Produzione - Tipo %@: non conteggiato !!!", codiceTipo);
                }
            } else {
                Log::f("    Business sconosciuto : %@", codiceBusiness);
            }
        }
    }
    articolo.setZTip(cifre.tip);
    articolo.setZCampQta(cifre.campQta);
    articolo.setZCampPzNum(cifre.campPzNum);
    articolo.setZCampPzQta(cifre.campPzQta);
    articolo.setZCampVal(cifre.campVal);
    articolo.setZProdPzNum(cifre.prodPzNum);
    articolo.setZProdPzQta(cifre.prodPzQta);
    articolo.setZProdVal(cifre.prodVal);
    articolo.setZFlag(true);
    ++calcolati_;
}

void DettaglioClienteLandscapeViewController::collezione(Database& database, const std::string& cliente,
                                                         const StatCollezione& collezione) {
    const std::string codice = testo(collezione.codice());
    const std::string um = testo(collezione.um()).empty() ? "--" : testo(collezione.um());
    const std::string divisa = testo(collezione.divisa()).empty() ? "---" : testo(collezione.divisa());
    using Tipo = SezioneDettaglioCollezione::Tipo;
    std::unique_ptr<SezioneDettaglioCollezione> tabelle[] = {
        std::make_unique<SezioneDettaglioCollezione>(format("Collezione %@ - Articoli in produzione", codice), 10,
                                                     Tipo::Produzione),
        std::make_unique<SezioneDettaglioCollezione>(format("Collezione %@ - Campionature senza produzione", codice),
                                                     10, Tipo::Campionature),
        std::make_unique<SezioneDettaglioCollezione>(format("Collezione %@ - Solo T+CC", codice), 10, Tipo::SoloTCC)};
    for (auto& tabella : tabelle)
        tabella->addRiga({"Articolo", "Campionario", "Produzione", "Tagli", format("PzC.  %@", um), divisa, "Pz", um,
                          divisa});

    const Decimal uno = Decimal::fromInteger(1);
    const auto articoli = database.fetchAllStatArticoloByStatCollezione(cliente, codice);
    for (const StatArticolo& articolo : articoli.value_or(std::vector<StatArticolo>{})) {
        if (!articolo.zFlag().value_or(false)) calcola(articolo);
        const Cifre cifre = lette(articolo);
        const std::string codiceArticolo = testo(articolo.codice());
        std::vector<std::string> riga = {codiceArticolo,
                                         formati::quantita(cifre.campQta),
                                         formati::quantita(cifre.campPzNum),
                                         formati::quantita(cifre.campPzQta),
                                         formati::valoriOVuoto(cifre.campVal),
                                         formati::quantita(cifre.prodPzNum),
                                         formati::quantita(cifre.prodPzQta),
                                         formati::valoriOVuoto(cifre.prodVal),
                                         formati::valoriOVuoto(cifre.campVal + cifre.prodVal),
                                         cifre.tip >= uno ? "Tipi" : "",
                                         cifre.tip >= uno ? formati::pezzi(cifre.tip, 3) : ""};
        if (formati::intero(cifre.prodVal) >= uno) {
            Log::f("    -> Articolo in produzione: %@", codiceArticolo);
            tabelle[0]->addRiga(riga);
        } else if (formati::intero(cifre.campVal) >= uno) {
            Log::f("    -> Articolo solo campionature: %@", codiceArticolo);
            riga[8].clear();
            tabelle[1]->addRiga(riga);
        } else {
            Log::f("    -> Articolo solo cartelle: %@", codiceArticolo);
            tabelle[2]->addRiga(riga);
        }
    }
    Log::f("DettaglioClienteLandscapeViewController - Create 3 Sezioni x Collezione : %@ [Righe %d,%d,%d]", codice,
           tabelle[0]->numeroRighe(), tabelle[1]->numeroRighe(), tabelle[2]->numeroRighe());
    for (auto& tabella : tabelle)
        if (tabella->numeroRighe() > 1) sezioni_.push_back(std::move(tabella));
}

int DettaglioClienteLandscapeViewController::numberOfRows(int section) const {
    if (section < 0 || section >= numberOfSections()) return 0;
    return sezioni_[static_cast<size_t>(section)]->numeroRighe();
}

ui::Row DettaglioClienteLandscapeViewController::rowAt(int section, int row) const {
    if (section < 0 || section >= numberOfSections()) return {};
    return sezioni_[static_cast<size_t>(section)]->riga(row);
}

ui::SectionHeader DettaglioClienteLandscapeViewController::sectionHeader(int section) const {
    if (section < 0 || section >= numberOfSections()) return {};
    const Sezione& sezione = *sezioni_[static_cast<size_t>(section)];
    return {sezione.titolo, sezione.footer};
}

}  // namespace torvane
