#include "store/DatabaseOperations.h"

namespace torvane {

std::optional<Cliente> Database::createClienteWithBarCode(const std::string& barCode, ColumnValues more) {
    return create<Cliente>("Cliente", {{"barCode", barCode}}, nullptr, nullptr, std::move(more));
}
std::optional<ClienteInfo> Database::createClienteInfoWithCodice(const std::string& codice, ColumnValues more) {
    return create<ClienteInfo>("ClienteInfo", {{"codice", codice}}, nullptr, nullptr, std::move(more));
}
std::optional<Destinazione> Database::createDestinazioneWithCodice(const std::string& codice, const Cliente& cliente,
                                                                   ColumnValues more) {
    return create<Destinazione>("Destinazione", {{"codice", codice}}, &cliente, "cliente", std::move(more));
}
std::optional<AgenteCompetenza> Database::createAgenteCompetenzaWithAgente(const std::string& agente,
                                                                           const std::string& area,
                                                                           const std::string& businessUnit,
                                                                           ColumnValues more) {
    return create<AgenteCompetenza>("AgenteCompetenza",
                                    {{"agente", agente}, {"area", area}, {"businessUnit", businessUnit}}, nullptr,
                                    nullptr, std::move(more));
}
std::optional<Listino> Database::createListinoWithBarCode(const std::string& barCode, ColumnValues more) {
    return create<Listino>("Listino", {{"barCode", barCode}}, nullptr, nullptr, std::move(more));
}
std::optional<Articolo> Database::createArticoloWithBarCode(const std::string& barCode, ColumnValues more) {
    return create<Articolo>("Articolo", {{"barCode", barCode}}, nullptr, nullptr, std::move(more));
}
std::optional<Colore> Database::createColoreWithBarCode(const std::string& barCode, const Articolo& articolo,
                                                        ColumnValues more) {
    return create<Colore>("Colore", {{"barCode", barCode}, {"flagCreatoDaMe", 0LL}}, &articolo, "articolo",
                          std::move(more));
}
std::optional<ColoreSxBarra> Database::createColoreSxBarraWithCodice(const std::string& codice,
                                                                     const Articolo& articolo) {
    return create<ColoreSxBarra>("ColoreSxBarra", {{"codice", codice}}, &articolo, "articolo");
}
std::optional<ArticoloListino> Database::createArticoloListinoWithArticolo(const std::string& articolo,
                                                                           const Listino& listino, ColumnValues more) {
    return create<ArticoloListino>("ArticoloListino", {{"articolo", articolo}}, &listino, "listino", std::move(more));
}
std::optional<Prezzo> Database::createPrezzoWithVarianteCommerciale(const std::string& varianteCommerciale,
                                                                    const ArticoloListino& articoloListino,
                                                                    ColumnValues more) {
    return create<Prezzo>("Prezzo",
                          {{"varianteCommerciale", varianteCommerciale},
                           {"valore", std::string("0")},
                           {"valoreMaggiorazione", std::string("0")}},
                          &articoloListino, "articoloListino", std::move(more));
}
std::optional<SceltaTestata> Database::createSceltaTestataWithCodice(long long codice, ColumnValues more) {
    return create<SceltaTestata>("SceltaTestata", {{"codice", codice}}, nullptr, nullptr, std::move(more));
}

// A new line takes one more than the highest line number of its order: numbers of deleted
// lines are never given again.
std::optional<SceltaRiga> Database::createSceltaRigaForSceltaTestata(const SceltaTestata& testata,
                                                                     ColumnValues more) {
    auto lock = lockIfAsked();
    long long riga = 1;
    try {
        auto rows = connection_->query("SELECT COALESCE(MAX(riga), 0) + 1 FROM \"SceltaRiga\" WHERE sceltaTestata = ?",
                                       {testata.id()});
        if (auto* next = std::get_if<long long>(&rows.at(0).at(0))) riga = *next;
    } catch (const std::exception& failure) {
        Log::f("Database: eccezione durante la creazione di un oggetto Scelta: %@ (user info: %@)",
               "Errore durante la creazione di un oggetto Scelta", failure.what());
        if (doCommit_) rollback();
        return std::nullopt;
    }
    auto created = create<SceltaRiga>("SceltaRiga", {{"riga", riga}}, &testata, "sceltaTestata", std::move(more));
    if (created) Log::f("SceltaRiga creata con field riga: %d", riga);
    return created;
}

std::optional<SceltaTaglia> Database::createSceltaTagliaWithTaglia(const std::string& taglia, const SceltaRiga& riga,
                                                                   ColumnValues more) {
    return create<SceltaTaglia>("SceltaTaglia", {{"taglia", taglia}}, &riga, "sceltaRiga", std::move(more));
}
std::optional<TagliaGruppo> Database::createTagliaGruppoWithCodice(const std::string& codice, ColumnValues more) {
    return create<TagliaGruppo>("TagliaGruppo", {{"codice", codice}}, nullptr, nullptr, std::move(more));
}
std::optional<TagliaDettaglio> Database::createTagliaDettaglioWithCodice(const std::string& codice,
                                                                         const TagliaGruppo& gruppo,
                                                                         ColumnValues more) {
    return create<TagliaDettaglio>("TagliaDettaglio", {{"codice", codice}}, &gruppo, "tagliaGruppo", std::move(more));
}
std::optional<TempSceltaTaglia> Database::createTempSceltaTagliaWithTaglia(const std::string& taglia,
                                                                           const ColoreSxBarra& coloreSxBarra) {
    // A grid row starts at 0 ordered.
    return create<TempSceltaTaglia>("TempSceltaTaglia", {{"taglia", taglia}, {"quantita", 0LL}}, &coloreSxBarra,
                                    "coloreSxBarra");
}

#define TORVANE_CREATE_BY(Entity, Method, column)                                             \
    std::optional<Entity> Database::Method(const std::string& value, ColumnValues more) {     \
        return create<Entity>(#Entity, {{column, value}}, nullptr, nullptr, std::move(more)); \
    }
TORVANE_CREATE_BY(Agente, createAgenteWithCodice, "codice")
TORVANE_CREATE_BY(Pagamento, createPagamentoWithCodice, "codice")
TORVANE_CREATE_BY(Resa, createResaWithCodice, "codice")
TORVANE_CREATE_BY(Mastro, createMastroWithCodice, "codice")
TORVANE_CREATE_BY(Nazione, createNazioneWithCodice, "codice")
TORVANE_CREATE_BY(BusinessUnit, createBusinessUnitWithCodice, "codice")
TORVANE_CREATE_BY(SerieAlfanumerica, createSerieAlfanumericaWithBarCode, "barCode")
TORVANE_CREATE_BY(ColoreAlfanumerico, createColoreAlfanumericoWithBarCode, "barCode")
TORVANE_CREATE_BY(Spedizioniere, createSpedizioniereWithCodice, "codice")
TORVANE_CREATE_BY(Importanza, createImportanzaWithCodice, "codice")
TORVANE_CREATE_BY(Parametro, createParametroWithAttributo, "attributo")
TORVANE_CREATE_BY(VarianteCommerciale, createVarianteCommercialeWithCodice, "codice")
TORVANE_CREATE_BY(GruppoCommerciale, createGruppoCommercialeWithCodice, "codice")
TORVANE_CREATE_BY(Maggiorazione, createMaggiorazioneWithCodice, "codice")
TORVANE_CREATE_BY(EsposizioneCliente, createEsposizioneClienteWithCodice, "codice")
TORVANE_CREATE_BY(StatCliente, createStatClienteWithCodice, "codice")
#undef TORVANE_CREATE_BY

std::optional<Giacenza> Database::createGiacenzaWithDescrizione(const std::string& descrizione, const Articolo&,
                                                                const Colore& colore, ColumnValues more) {
    const std::string zero = "0";
    return create<Giacenza>("Giacenza",
                            {{"descrizione", descrizione},
                             {"pezzi", zero},
                             {"pezziImpegnati", zero},
                             {"quantita", zero},
                             {"quantitaImpegnata", zero}},
                            &colore, "colore", std::move(more));
}
std::optional<Esposizione> Database::createEsposizioneForEsposizioneCliente(const EsposizioneCliente& cliente,
                                                                            ColumnValues more) {
    return create<Esposizione>("Esposizione", {}, &cliente, "cliente", std::move(more));
}
std::optional<EsposizioneRiga> Database::createEsposizioneRigaForEsposizione(const Esposizione& esposizione) {
    return create<EsposizioneRiga>("EsposizioneRiga", {}, &esposizione, "esposizione");
}
std::optional<StatCollezione> Database::createStatCollezioneWithCodice(const std::string& codice,
                                                                       const StatCliente& cliente, ColumnValues more) {
    const std::string zero = "0";
    return create<StatCollezione>("StatCollezione",
                                  {{"codice", codice}, {"totPezzi", zero}, {"totQuantita", zero}, {"totValore", zero}},
                                  &cliente, "cliente", std::move(more));
}
std::optional<StatArticolo> Database::createStatArticoloWithCodice(const std::string& codice,
                                                                   const StatCollezione& collezione,
                                                                   ColumnValues more) {
    return create<StatArticolo>("StatArticolo", {{"codice", codice}, {"zFlag", 0LL}}, &collezione, "collezione",
                                std::move(more));
}
std::optional<StatBusiness> Database::createStatBusinessWithCodice(const std::string& codice,
                                                                   const StatArticolo& articolo, ColumnValues more) {
    return create<StatBusiness>("StatBusiness", {{"codice", codice}}, &articolo, "statArticolo", std::move(more));
}
std::optional<StatTipo> Database::createStatTipoWithCodice(const std::string& codice, const StatBusiness& business,
                                                           ColumnValues more) {
    const std::string zero = "0";
    return create<StatTipo>("StatTipo", {{"codice", codice}, {"pezzi", zero}, {"quantita", zero}, {"valore", zero}},
                            &business, "business", std::move(more));
}
std::optional<StatPeriodo> Database::createStatPeriodoWithCodice(const std::string& codice, const StatCliente& cliente,
                                                                 ColumnValues more) {
    return create<StatPeriodo>("StatPeriodo", {{"codice", codice}}, &cliente, "cliente", std::move(more));
}

}  // namespace torvane
