#include "store/ClientSearchIndex.h"
#include "store/DatabaseOperations.h"

namespace torvane {

namespace {

std::string selectIds(const char* entity, const std::string& where, const std::string& order = "id") {
    return std::string("SELECT id FROM ") + quotedName(entity) + (where.empty() ? "" : " WHERE " + where) +
           " ORDER BY " + order;
}

// The stored value of an optional text, for log lines.
std::string shown(const std::optional<std::string>& text) { return text.value_or("(null)"); }

}  // namespace

#define TORVANE_FETCH_ONE(Entity, Method, column, Reason, LogLine)                                       \
    std::optional<Entity> Database::Method(const std::string& value) {                                 \
        return fetchOne<Entity>({Reason, LogLine}, selectIds(#Entity, "\"" column "\" = ?"), {value}); \
    }

TORVANE_FETCH_ONE(Cliente, fetchClienteByCodice, "codice", "Errore durante il fetch di un oggetto Cliente",
                  "Database: eccezione durante fetch di un oggetto cliente: %@ (user info: %@)")
TORVANE_FETCH_ONE(ClienteInfo, fetchClienteInfoByCodice, "codice", "Errore durante il fetch di un oggetto ClienteInfo",
                  "Database: eccezione durante fetch di un oggetto ClienteInfo: %@ (user info: %@)")
TORVANE_FETCH_ONE(Listino, fetchListinoByBarCode, "barCode", "Errore durante fetch di un oggetto Listino",
                  "Database: eccezione durante fetch di un oggetto Listino: %@ (user info: %@)")
TORVANE_FETCH_ONE(Articolo, fetchArticoloByCodice, "codice", "Errore durante fetch di un oggetto Articolo",
                  "Database: eccezione durante fetch di un oggetto Articolo: %@ (user info: %@)")
TORVANE_FETCH_ONE(Articolo, fetchArticoloByBarCode, "barCode", "Errore durante fetch di un oggetto Articolo",
                  "Database: eccezione durante fetch di un oggetto Articolo: %@ (user info: %@)")
TORVANE_FETCH_ONE(Agente, fetchAgenteByCodice, "codice", "Errore durante il fetch di un oggetto Agente",
                  "Database: eccezione durante fetch di un oggetto agente: %@ (user info: %@)")
TORVANE_FETCH_ONE(Pagamento, fetchPagamentoByCodice, "codice", "Errore durante il fetch di un oggetto Pagamento",
                  "Database: eccezione durante fetch di un oggetto Pagamento: %@ (user info: %@)")
TORVANE_FETCH_ONE(Mastro, fetchMastroByCodice, "codice", "Errore durante il fetch di un oggetto Mastro",
                  "Database: eccezione durante fetch di un oggetto Mastro: %@ (user info: %@)")
TORVANE_FETCH_ONE(Nazione, fetchNazioneByCodice, "codice", "Errore durante il fetch di un oggetto Nazione",
                  "Database: eccezione durante fetch di un oggetto Nazione: %@ (user info: %@)")
TORVANE_FETCH_ONE(BusinessUnit, fetchBusinessUnitByCodice, "codice",
                  "Errore durante il fetch di un oggetto BusinessUnit",
                  "Database: eccezione durante fetch di un oggetto BusinessUnit: %@ (user info: %@)")
TORVANE_FETCH_ONE(SerieAlfanumerica, fetchSerieAlfanumericaByBarCode, "barCode",
                  "Errore durante il fetch di un oggetto SerieAlfanumerica",
                  "Database: eccezione durante fetch di un oggetto SerieAlfanumerica: %@ (user info: %@)")
TORVANE_FETCH_ONE(ColoreAlfanumerico, fetchColoreAlfanumericoByBarCode, "barCode",
                  "Errore durante il fetch di un oggetto ColoreAlfanumerico",
                  "Database: eccezione durante fetch di un oggetto ColoreAlfanumerico: %@ (user info: %@)")
TORVANE_FETCH_ONE(Spedizioniere, fetchSpedizioniereByCodice, "codice",
                  "Errore durante il fetch di un oggetto Spedizioniere",
                  "Database: eccezione durante fetch di un oggetto Spedizioniere: %@ (user info: %@)")
TORVANE_FETCH_ONE(Resa, fetchResaByCodice, "codice", "Errore durante il fetch di un oggetto Resa",
                  "Database: eccezione durante fetch di un oggetto Resa: %@ (user info: %@)")
TORVANE_FETCH_ONE(Importanza, fetchImportanzaByCodice, "codice", "Errore durante la fetch di un oggetto Importanza",
                  "Database: eccezione durante fetch di un oggetto Importanza: %@ (user info: %@)")
TORVANE_FETCH_ONE(Parametro, fetchParametroByAttributo, "attributo", "Errore durante il fetch di un oggetto Parametro",
                  "Database: eccezione durante fetch di un oggetto Parametro: %@ (user info: %@)")
TORVANE_FETCH_ONE(VarianteCommerciale, fetchVarianteCommercialeByCodice, "codice",
                  "Errore durante il fetch di un oggetto VarianteCommerciale",
                  "Database: eccezione durante fetch di un oggetto VarianteCommerciale: %@ (user info: %@)")
TORVANE_FETCH_ONE(Maggiorazione, fetchMaggiorazioneByCodice, "codice",
                  "Errore durante il fetch di un oggetto Maggiorazione",
                  "Database: eccezione durante fetch di un oggetto Maggiorazione: %@ (user info: %@)")
TORVANE_FETCH_ONE(TagliaGruppo, fetchTagliaGruppoByCodice, "codice", "Errore durante il fetch di un oggetto TagliaGruppo",
                  "Database: eccezione durante fetch di un oggetto TagliaGruppo: %@ (user info: %@)")
TORVANE_FETCH_ONE(EsposizioneCliente, fetchEsposizioneClienteByCodice, "codice",
                  "Errore durante il fetch di un oggetto EsposizioneCliente",
                  "Database: eccezione durante fetch di un oggetto EsposizioneCliente: %@ (user info: %@)")
TORVANE_FETCH_ONE(StatCliente, fetchStatClienteByCodice, "codice", "Errore durante fetch di un oggetto Stat",
                  "Database: eccezione durante fetch di un oggetto Stat: %@ (user info: %@)")
#undef TORVANE_FETCH_ONE

std::optional<AgenteCompetenza> Database::fetchAgenteCompetenzaByAgente(const std::string& agente,
                                                                        const std::string& area,
                                                                        const std::string& businessUnit) {
    return fetchOne<AgenteCompetenza>(
        {"Errore durante fetch di un oggetto AgenteCompetenza",
         "Database: eccezione durante fetch dell'oggetto AgenteCompetenza: %@ (user info: %@)"},
        selectIds("AgenteCompetenza", "agente = ? AND area = ? AND businessUnit = ?"), {agente, area, businessUnit});
}

std::optional<Destinazione> Database::fetchDestinazioneByCodice(const std::string& codice, const Cliente& cliente) {
    return fetchOne<Destinazione>({"Errore durante fetch di un oggetto Destinazione",
                                   "Database: eccezione durante fetch dell'oggetto Destinazione: %@ (user info: %@)"},
                                  selectIds("Destinazione", "cliente = ? AND codice = ?"), {cliente.id(), codice});
}

std::optional<ArticoloListino> Database::fetchArticoloListinoByArticolo(const std::string& articolo,
                                                                        const Listino& listino) {
    return fetchOne<ArticoloListino>(
        {"Errore durante fetch di un oggetto ArticoloListino",
         "Database: eccezione durante fetch di un oggetto ArticoloListino: %@ (user info: %@)"},
        selectIds("ArticoloListino", "listino = ? AND articolo = ?"), {listino.id(), articolo});
}

namespace {
// Prices of an article in a price list, for one commercial variant.
constexpr const char* pricesOf =
    "SELECT p.id FROM \"Prezzo\" p JOIN \"ArticoloListino\" al ON p.articoloListino = al.id "
    "JOIN \"Listino\" l ON al.listino = l.id "
    "WHERE l.barCode = ? AND al.articolo = ? AND p.varianteCommerciale = ? ";
}  // namespace

std::optional<Prezzo> Database::fetchPrezzoByListino(const std::string& listino, const std::string& articolo,
                                                     const std::string& varianteCommerciale) {
    return fetchOne<Prezzo>({"Errore durante fetch di un oggetto Prezzo",
                             "Database: eccezione durante fetch di un oggetto Prezzo: %@ (user info: %@)"},
                            std::string(pricesOf) + "AND p.maggiorazione IS NULL ORDER BY p.id",
                            {listino, articolo, varianteCommerciale});
}

std::optional<ColoreSxBarra> Database::fetchColoreSxBarraWithCodice(const std::string& codice,
                                                                    const Articolo& articolo) {
    return fetchOne<ColoreSxBarra>({"Errore durante fetch di un oggetto ColoreSxBarra x leggere 1 codice colore",
                                    "Database: eccezione durante fetch di un oggetto ColoreSxBarra: %@ (user info: %@)"},
                                   selectIds("ColoreSxBarra", "articolo = ? AND codice = ?"), {articolo.id(), codice});
}

std::optional<SceltaTestata> Database::fetchSceltaTestataByCodice(long long codice) {
    return fetchOne<SceltaTestata>({"Errore durante fetch di un oggetto SceltaTestata",
                                    "Database: eccezione durante fetch di un oggetto SceltaTestata: %@ (user info: %@)"},
                                   selectIds("SceltaTestata", "codice = ?"), {codice});
}

std::optional<GruppoCommerciale> Database::fetchGruppoCommercialeByCodice(const std::string& codice,
                                                                          const std::string& variante) {
    return fetchOne<GruppoCommerciale>(
        {"Errore durante fetch di un oggetto GruppoCommerciale",
         "Database: eccezione durante fetch di un oggetto GruppoCommerciale: %@ (user info: %@)"},
        selectIds("GruppoCommerciale", "codice = ? AND variante = ?"), {codice, variante});
}

namespace {
constexpr const char* statReason = "Errore durante fetch di un oggetto Stat";
constexpr const char* statLog = "Database: eccezione durante fetch di un oggetto Stat: %@ (user info: %@)";
constexpr const char* statCollections =
    " JOIN \"StatCliente\" sc ON co.cliente = sc.id WHERE sc.codice = ? AND co.codice = ?";
}  // namespace

std::optional<StatArticolo> Database::fetchStatArticoloByStatCollezione(const std::string& cliente,
                                                                        const std::string& collezione,
                                                                        const std::string& articolo) {
    return fetchOne<StatArticolo>({statReason, statLog},
                                  std::string("SELECT ar.id FROM \"StatArticolo\" ar "
                                              "JOIN \"StatCollezione\" co ON ar.collezione = co.id") +
                                      statCollections + " AND ar.codice = ? ORDER BY ar.id",
                                  {cliente, collezione, articolo});
}

std::optional<StatBusiness> Database::fetchStatBusinessByStatArticolo(const std::string& cliente,
                                                                      const std::string& collezione,
                                                                      const std::string& articolo,
                                                                      const std::string& business) {
    return fetchOne<StatBusiness>({statReason, statLog},
                                  std::string("SELECT bu.id FROM \"StatBusiness\" bu "
                                              "JOIN \"StatArticolo\" ar ON bu.statArticolo = ar.id "
                                              "JOIN \"StatCollezione\" co ON ar.collezione = co.id") +
                                      statCollections + " AND ar.codice = ? AND bu.codice = ? ORDER BY bu.id",
                                  {cliente, collezione, articolo, business});
}

std::optional<Colore> Database::fetchColoreByBarCode(const std::string& barCode) {
    Operation operation{"Errore durante fetch di un oggetto Colore",
                        "Database: eccezione durante fetch di un oggetto Colore: %@ (user info: %@)"};
    return guarded(operation, false, [&]() -> std::optional<Colore> {
        auto found = ids(operation.reason, selectIds("Colore", "barCode = ?"), {barCode});
        if (found.size() == 1) return Colore(connection_, found.front());
        if (found.empty()) return std::nullopt;
        Log::line("ERRORE : Ho piu' di un colore x lo stesso barcode !!!");
        for (long long id : found) {
            Colore colore(connection_, id);
            auto articolo = colore.articolo();
            Log::f("Colore: %@ Barcode:%@ Descr:%@ Art:%@", shown(colore.codice()), shown(colore.barCode()),
                   shown(colore.descrizione()), shown(articolo ? articolo->codice() : std::nullopt));
        }
        return std::nullopt;
    });
}

std::optional<Colore> Database::fetchColoreByArticolo(const std::string& articolo, const std::string& codiceColore) {
    Operation operation{"Errore durante fetch di un oggetto Articolo x leggere Colore",
                        "Database: eccezione durante fetch di un oggetto Colore: %@ (user info: %@)"};
    return guarded(operation, false, [&]() -> std::optional<Colore> {
        auto found = ids(operation.reason, selectIds("Articolo", "codice = ?") + " LIMIT 1", {articolo});
        if (found.empty()) return std::nullopt;
        return fetchColoreByArticolo(Articolo(connection_, found.front()), codiceColore);
    });
}

std::optional<Colore> Database::fetchColoreByArticolo(const Articolo& articolo, const std::string& codiceColore) {
    Operation operation{"Errore durante fetch di un oggetto Articolo x leggere Colore",
                        "Database: eccezione durante fetch di un oggetto Colore: %@ (user info: %@)"};
    // The first colour of the article's ordered colours with that code.
    return fetchOne<Colore>(operation, selectIds("Colore", "articolo = ? AND codice = ?", "articoloPosizione, id"),
                            {articolo.id(), codiceColore});
}

std::string Database::coloreKey(long long articolo, std::string_view codiceColore) {
    std::string key = std::to_string(articolo);
    key += '\x1f';
    key += codiceColore;
    return key;
}

std::optional<std::unordered_map<std::string, Colore>> Database::fetchColoriByArticoloAndCodice() {
    Operation operation{"Errore durante fetch di un oggetto Articolo x leggere Colore",
                        "Database: eccezione durante fetch di un oggetto Colore: %@ (user info: %@)"};
    return guarded(operation, false, [&]() -> std::optional<std::unordered_map<std::string, Colore>> {
        std::unordered_map<std::string, Colore> colours;
        // Read last to first, so the first of an article's colours with a code is the one kept.
        auto rows = connection_->query(
            "SELECT articolo, codice, id FROM \"Colore\" WHERE articolo IS NOT NULL AND codice IS NOT NULL "
            "ORDER BY articoloPosizione DESC, id DESC");
        colours.reserve(rows.size());
        for (const auto& row : rows) {
            Colore colour(connection_, std::get<long long>(row[2]));
            colours.insert_or_assign(coloreKey(std::get<long long>(row[0]), std::get<std::string>(row[1])), colour);
        }
        return colours;
    });
}

std::optional<bool> Database::isEmpty(const std::string& entityName) {
    Operation operation{"Errore durante fetch", "Database: eccezione durante fetch: %@ (user info: %@)"};
    return guarded(operation, false, [&]() -> std::optional<bool> {
        return connection_->query("SELECT 1 FROM " + quotedName(entityName) + " LIMIT 1").empty();
    });
}

// ---- fetch many ----

#define TORVANE_FETCH_ALL(Entity, Method, order, Reason, LogLine)                           \
    std::optional<std::vector<Entity>> Database::Method() {                               \
        return fetchMany<Entity>({Reason, LogLine}, selectIds(#Entity, "", order), {});   \
    }

TORVANE_FETCH_ALL(Cliente, fetchAllCliente, "ragioneSociale1, id", "Errore durante fetch di un oggetto Cliente",
                  "Database: eccezione durante fetch di tutti gli oggetti cliente: %@ (user info: %@)")
TORVANE_FETCH_ALL(Agente, fetchAllAgente, "ragioneSociale, id", "Errore durante fetch degli oggetti Agente",
                  "Database: eccezione durante fetch degli oggetti Agente: %@ (user info: %@)")
TORVANE_FETCH_ALL(Mastro, fetchAllMastro, "descrizione, id", "Errore durante fetch degli oggetti Mastro",
                  "Database: eccezione durante fetch degli oggetti Mastro: %@ (user info: %@)")
TORVANE_FETCH_ALL(Nazione, fetchAllNazione, "descrizione, id", "Errore durante fetch degli oggetti Nazione",
                  "Database: eccezione durante fetch degli oggetti Nazione: %@ (user info: %@)")
TORVANE_FETCH_ALL(Pagamento, fetchAllPagamento, "descrizione, id", "Errore durante fetch degli oggetti Pagamento",
                  "Database: eccezione durante fetch degli oggetti Pagamento: %@ (user info: %@)")
TORVANE_FETCH_ALL(Resa, fetchAllResa, "descrizione, id", "Errore durante fetch degli oggetti Resa",
                  "Database: eccezione durante fetch degli oggetti Resa: %@ (user info: %@)")
TORVANE_FETCH_ALL(Spedizioniere, fetchAllSpedizioniere, "ragioneSociale, id",
                  "Errore durante fetch degli oggetti Spedizioniere",
                  "Database: eccezione durante fetch degli oggetti Spedizioniere: %@ (user info: %@)")
TORVANE_FETCH_ALL(Importanza, fetchAllImportanza, "descrizione, id", "Errore durante fetch degli oggetti Importanza",
                  "Database: eccezione durante fetch degli oggetti Importanza: %@ (user info: %@)")
TORVANE_FETCH_ALL(BusinessUnit, fetchAllBusinessUnit, "descrizione, id",
                  "Errore durante fetch degli oggetti BusinessUnit",
                  "Database: eccezione durante fetch degli oggetti BusinessUnit: %@ (user info: %@)")
TORVANE_FETCH_ALL(SceltaTestata, fetchAllSceltaTestata, "dataCreazione DESC, id DESC",
                  "Errore durante fetch degli oggetti SceltaTestata",
                  "Database: eccezione durante fetch degli oggetti Scelte: %@ (user info: %@)")
#undef TORVANE_FETCH_ALL

std::optional<std::vector<Cliente>> Database::fetchAllMatchesCliente(const std::string& text) {
    return fetchMany<Cliente>({"Errore durante fetch di N oggetti Cliente",
                               "Database: eccezione durante fetch di N oggetti cliente: %@ (user info: %@)"},
                              selectIds("Cliente", ClientSearchIndex::matchesEveryWord(), "ragioneSociale1, id"),
                              {text});
}

std::optional<std::vector<Cliente>> Database::fetchAllClienteByPartitaIva(const std::string& partitaIva) {
    return fetchMany<Cliente>({"Errore durante il fetch di N oggetto Cliente x partita IVA",
                               "Database: eccezione durante fetch di N oggetti cliente: %@ (user info: %@)"},
                              selectIds("Cliente", "partitaIva = ?"), {partitaIva});
}

std::optional<std::vector<Parametro>> Database::fetchAllMatchesParametro(const std::string& prefix) {
    return fetchMany<Parametro>({"Errore durante fetch di N oggetti Parametro",
                                 "Database: eccezione durante fetch di N oggetti Parametro: %@ (user info: %@)"},
                                selectIds("Parametro", "torvane_begins_c(attributo, ?)", "attributo, id"), {prefix});
}

std::optional<std::vector<Listino>> Database::fetchAllListinoWithTipo(const std::string& tipo) {
    return fetchMany<Listino>({"Errore durante fetch degli oggetti Listino",
                               "Database: eccezione durante fetch degli oggetti Listino: %@ (user info: %@)"},
                              selectIds("Listino", "tipo = ?", "descrizione, id"), {tipo});
}

std::optional<Database::DistinctValues> Database::fetchDistinct(const Operation& operation, const std::string& column,
                                                                const std::string& sql, std::vector<SqlValue> binds) {
    return guarded(operation, false, [&]() -> std::optional<DistinctValues> {
        DistinctValues values;
        try {
            for (auto& row : connection_->query(sql, binds))
                if (auto* text = std::get_if<std::string>(&row.at(0))) values.push_back({{column, *text}});
        } catch (const StoreConnection::SqlError& failure) {
            throw StoreFailure(operation.reason, failure.what());
        }
        return values;
    });
}

// Distinct values in the order they first appear; absent values are left out.
std::optional<Database::DistinctValues> Database::fetchAllAreaVendita() {
    return fetchDistinct({"Errore durante fetch degli oggetti Listino x AreaVendita",
                          "Database: eccezione durante fetch degli oggetti Listino x AreaVendita: %@ (user info: %@)"},
                         "area",
                         "SELECT area FROM \"Listino\" WHERE area IS NOT NULL GROUP BY area ORDER BY MIN(id)", {});
}

std::optional<Database::DistinctValues> Database::fetchAllDivisa() {
    return fetchDistinct({"Errore durante fetch degli oggetti Listino x Divisa",
                          "Database: eccezione durante fetch degli oggetti Listino x Divisa: %@ (user info: %@)"},
                         "divisa",
                         "SELECT divisa FROM \"Listino\" WHERE divisa IS NOT NULL GROUP BY divisa ORDER BY MIN(id)",
                         {});
}

std::optional<Database::DistinctValues> Database::fetchAllListinoByTestata(const SceltaTestata& testata) {
    return fetchDistinct({"Errore durante fetch di N oggetti SceltaRiga",
                          "Database: eccezione durante fetch di N oggetti SceltaRiga: %@ (user info: %@)"},
                         "listino",
                         "SELECT DISTINCT listino FROM \"SceltaRiga\" WHERE sceltaTestata = ? AND listino IS NOT NULL "
                         "ORDER BY listino",
                         {testata.id()});
}

std::optional<std::vector<ArticoloListino>> Database::fetchAllArticoloListinobyListino(const Listino& listino) {
    return fetchMany<ArticoloListino>(
        {"Errore durante fetch di N oggetti ArticoloListino",
         "Database: eccezione durante fetch di N oggetti articolo: %@ (user info: %@)"},
        selectIds("ArticoloListino", "listino = ?", "articolo, id"), {listino.id()});
}

std::optional<std::vector<ArticoloListino>> Database::fetchAllMatchesArticoloListino(const Listino& listino,
                                                                                     const std::string& text) {
    return fetchMany<ArticoloListino>(
        {"Errore durante fetch di N oggetti ArticoloListino",
         "Database: eccezione durante fetch di N oggetti articolo: %@ (user info: %@)"},
        selectIds("ArticoloListino", "listino = ? AND torvane_contains_cd(articolo, ?)", "articolo, id"),
        {listino.id(), text});
}

std::optional<std::vector<Prezzo>> Database::fetchAllPrezziByArticoloListino(const ArticoloListino& articoloListino) {
    // Prices are decimal text: sorted by their numeric value, not as text.
    return fetchMany<Prezzo>({"Errore durante fetch degli oggetti Prezzo",
                              "Database: eccezione durante fetch degli oggetti Prezzo: %@ (user info: %@)"},
                             selectIds("Prezzo", "articoloListino = ?", "varianteCommerciale, CAST(valore AS REAL), id"),
                             {articoloListino.id()});
}

std::optional<std::vector<Prezzo>> Database::fetchPrezziConMaggiorazioniByListino(
    const std::string& listino, const std::string& articolo, const std::string& varianteCommerciale) {
    auto prices = fetchMany<Prezzo>({"Errore durante fetch di N oggetti Prezzo",
                                     "Database: eccezione durante fetch di N oggetti Prezzo: %@ (user info: %@)"},
                                    std::string(pricesOf) + "AND p.maggiorazione IS NOT NULL ORDER BY p.maggiorazione, p.id",
                                    {listino, articolo, varianteCommerciale});
    if (prices && prices->empty()) return std::nullopt;
    return prices;
}

std::optional<std::vector<SceltaTestata>> Database::fetchAllSceltaTestataWithStatus(OrderStatus status) {
    return fetchMany<SceltaTestata>({"Errore durante fetch degli oggetti SceltaTestata",
                                     "Database: eccezione durante fetch degli oggetti SceltaTestata: %@ (user info: %@)"},
                                    selectIds("SceltaTestata", "status = ?"), {stored(status)});
}

std::optional<std::vector<SceltaRiga>> Database::fetchAllSceltaRigaByTestata(const SceltaTestata& testata) {
    return fetchMany<SceltaRiga>({"Errore durante fetch di N oggetti SceltaRiga",
                                  "Database: eccezione durante fetch di N oggetti SceltaRiga: %@ (user info: %@)"},
                                 selectIds("SceltaRiga", "sceltaTestata = ?", "riga, id"), {testata.id()});
}

std::optional<std::vector<SceltaRiga>> Database::fetchAllSceltaRigaByTestata(const SceltaTestata& testata,
                                                                            const std::string& articolo) {
    return fetchMany<SceltaRiga>({"Errore durante fetch di N oggetti SceltaRiga",
                                  "Database: eccezione durante fetch di N oggetti SceltaRiga: %@ (user info: %@)"},
                                 selectIds("SceltaRiga", "sceltaTestata = ? AND articolo = ?", "riga, id"),
                                 {testata.id(), articolo});
}

std::optional<std::vector<Giacenza>> Database::fetchGiacenzaByArticolo(const std::string& articolo) {
    return fetchMany<Giacenza>(
        {"Errore durante il fetch di un oggetto Giacenza",
         "Database: eccezione durante fetch degli oggetti Giacenza di un certo Articolo: %@ (user info: %@)"},
        "SELECT g.id FROM \"Giacenza\" g JOIN \"Colore\" c ON g.colore = c.id JOIN \"Articolo\" a ON c.articolo = a.id "
        "WHERE a.codice = ? ORDER BY c.codice, g.id",
        {articolo});
}

std::optional<std::vector<StatArticolo>> Database::fetchAllStatArticoloByStatCollezione(const std::string& cliente,
                                                                                         const std::string& collezione) {
    return fetchMany<StatArticolo>({"Errore durante fetch degli oggetti StatArticolo",
                                    "Database: eccezione durante fetch degli oggetti StatArticolo: %@ (user info: %@)"},
                                   std::string("SELECT ar.id FROM \"StatArticolo\" ar "
                                               "JOIN \"StatCollezione\" co ON ar.collezione = co.id") +
                                       statCollections + " ORDER BY ar.codice, ar.id",
                                   {cliente, collezione});
}

}  // namespace torvane
