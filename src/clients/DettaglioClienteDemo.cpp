#include "clients/DettaglioClienteDemo.h"

#include "clients/FormatiStatistica.h"
#include "clients/SezioneEtichette.h"
#include "clients/Sezione5Label.h"
#include "clients/SezioneSintesiAnno.h"
#include "platform/Format.h"

namespace torvane {

namespace {

struct Venduto {
    const char* articolo;
    const char* metri;
    long long pezzi;
    const char* valore;
};

struct Stagione {
    const char* codice;
    std::vector<Venduto> articoli;
};

const std::vector<Stagione>& stagioni() {
    static const std::vector<Stagione> kStagioni = {
        {"AI12", {{"LANA100", "412.5", 9, "5362.50"}, {"FLANELLA", "180", 4, "1980"}}},
        {"AI13",
         {{"CASHM20", "95", 2, "3135"},     {"CHEVRON", "240", 6, "2760"},    {"COVERT", "310.5", 7, "3415.50"},
          {"DONEGAL", "150", 3, "1725"},    {"FLANELLA", "205", 5, "2255"},   {"GABARDINE", "330", 8, "3630"},
          {"HARRIS", "120", 3, "1860"},     {"LODEN", "88", 2, "1320"},       {"MELTON", "176", 4, "2288"},
          {"PRINCIPE", "260", 6, "3380"},   {"SAXONY", "140", 3, "2030"},     {"SHETLAND", "199", 5, "2487.50"},
          {"TWEED", "420", 10, "4620"},     {"VICUNA5", "12", 1, "1080"}}},
        {"AI14", {{"TWEED", "150", 3, "1725"}}},
    };
    return kStagioni;
}

Decimal numero(const char* text) { return Decimal::parse(text).value_or(Decimal()); }

std::vector<std::string> rigaVenduto(const std::string& nome, const Decimal& metri, const Decimal& pezzi,
                                     const Decimal& valore) {
    return {nome, formati::quantita(metri), formati::pezzi(pezzi, 4), formati::valori(valore),
            formati::prezzo(formati::prezzoAlMetro(valore, metri))};
}

}  // namespace

std::vector<std::unique_ptr<Sezione>> DettaglioClienteDemo::sezioni() {
    std::vector<std::unique_ptr<Sezione>> made;

    auto condizioni = std::make_unique<SezioneEtichette>(2, "Condizioni di Vendita", 2);
    condizioni->addRiga({"Agente", "Mario Bianchi - Toscana e Umbria"});
    condizioni->addRiga({"Corriere", "Trasporti Rapidi Prato"});
    condizioni->addRiga({"Pagamento", "Ri.Ba. 60 gg fine mese"});
    made.push_back(std::move(condizioni));

    auto esposizione = std::make_unique<SezioneEtichette>(3, "Esposizione", 3);
    esposizione->addRiga({"Saldo Contabile", "EUR", formati::esposizione(numero("18450"))});
    esposizione->addRiga({"Scaduto", "EUR", formati::esposizione(numero("2300"))});
    made.push_back(std::move(esposizione));

    made.push_back(std::make_unique<SezioneSintesiAnno>(
        "Sintesi per Anno", std::vector<SezioneSintesiAnno::Anno>{{"2011", numero("38940.50")},
                                                                   {"2012", numero("45212.00")}}));

    auto sintesi = std::make_unique<Sezione5Label>("Sintesi per Stagione", 5);
    sintesi->cellHeight = 44;
    sintesi->addRiga({"Collezione", "MT", "Pz", "Valore", "PrMd"});
    std::vector<std::unique_ptr<Sezione>> dettagli;
    Decimal metriTutti, pezziTutti, valoreTutti;
    for (const Stagione& stagione : stagioni()) {
        auto dettaglio = std::make_unique<Sezione5Label>(format("Dettaglio Stagione %@", stagione.codice), 5);
        dettaglio->addRiga({"Articolo", "MT", "Pz", "Valore", "PrMd"});
        Decimal metri, pezzi, valore;
        for (const Venduto& venduto : stagione.articoli) {
            const Decimal m = numero(venduto.metri), p = Decimal::fromInteger(venduto.pezzi), v = numero(venduto.valore);
            dettaglio->addRiga(rigaVenduto(venduto.articolo, m, p, v));
            metri += m;
            pezzi += p;
            valore += v;
        }
        dettaglio->addRiga(rigaVenduto("Totali", metri, pezzi, valore));
        sintesi->addRiga(rigaVenduto(stagione.codice, metri, pezzi, valore));
        metriTutti += metri;
        pezziTutti += pezzi;
        valoreTutti += valore;
        dettagli.push_back(std::move(dettaglio));
    }
    sintesi->addRiga(rigaVenduto("Totali", metriTutti, pezziTutti, valoreTutti));
    made.push_back(std::move(sintesi));
    for (auto& dettaglio : dettagli) made.push_back(std::move(dettaglio));

    auto note = std::make_unique<SezioneEtichette>(1, "Note", 1);
    note->addRiga({"Cliente storico: preferisce le consegne il martedi' e chiede sempre le cartelle colori."});
    made.push_back(std::move(note));
    return made;
}

}  // namespace torvane
