#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/Entities.h"
#include "store/OrderStatus.h"
#include "store/SqlValue.h"
#include "store/StoreFailure.h"

namespace torvane {

class CompanyCode;
class StoreConnection;

// The single gateway to the local store of one company: one small operation per way the
// system creates, finds or deletes records, plus commit and rollback. Changes stay pending
// until `commit`; releasing the store discards them. Every operation catches its own failure,
// logs its line and returns no result; only `commit` reports a failure (StoreFailure).
// Thread-safe: one lock around every operation (the loader works from its own thread).
class Database {
public:
    using DistinctValues = std::vector<std::map<std::string, std::string>>;

    // ---- the shared instance ----
    // Opens the store of `pref_aziendaAttiva` unless the open one is already that company's.
    static void initDatabase();
    static void releaseDatabase();
    // The shared instance, or none; never creates one.
    static std::shared_ptr<Database> sharedDatabase();
    // A new instance bound to `pref_aziendaAttiva` ("999" written when absent), or none when
    // the store cannot be opened or the code is not a plain company code (it names the file).
    static std::shared_ptr<Database> init();
    // A store in a given file (tools, tests); none when it cannot be opened.
    static std::shared_ptr<Database> openFile(const std::string& path, const std::string& company);
    // "Database%@.sqllite" in the documents folder.
    static std::string storePath(const CompanyCode& company);

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& currentAzienda() const { return currentAzienda_; }
    const std::string& filePath() const { return filePath_; }
    void setDoLock(bool doLock) { doLock_ = doLock; }
    void setDoCommit(bool doCommit) { doCommit_ = doCommit; }
    bool doLock() const { return doLock_; }
    bool doCommit() const { return doCommit_; }
    void commit();
    void rollback();
    // The connection itself, for bulk paths and tools that read rows directly.
    const std::shared_ptr<StoreConnection>& connection() const { return connection_; }

    // ---- create ----
    // `more`: further column values written by the same INSERT (they take the place of a
    // default of the same column), so a record is written whole or not at all.
    std::optional<Cliente> createClienteWithBarCode(const std::string& barCode, ColumnValues more = {});
    std::optional<ClienteInfo> createClienteInfoWithCodice(const std::string& codice, ColumnValues more = {});
    std::optional<Destinazione> createDestinazioneWithCodice(const std::string& codice, const Cliente& cliente,
                                                             ColumnValues more = {});
    std::optional<AgenteCompetenza> createAgenteCompetenzaWithAgente(const std::string& agente, const std::string& area,
                                                                     const std::string& businessUnit,
                                                                     ColumnValues more = {});
    std::optional<Listino> createListinoWithBarCode(const std::string& barCode, ColumnValues more = {});
    std::optional<Articolo> createArticoloWithBarCode(const std::string& barCode, ColumnValues more = {});
    std::optional<Colore> createColoreWithBarCode(const std::string& barCode, const Articolo& articolo,
                                                  ColumnValues more = {});
    std::optional<ColoreSxBarra> createColoreSxBarraWithCodice(const std::string& codice, const Articolo& articolo);
    std::optional<ArticoloListino> createArticoloListinoWithArticolo(const std::string& articolo,
                                                                     const Listino& listino, ColumnValues more = {});
    std::optional<Prezzo> createPrezzoWithVarianteCommerciale(const std::string& varianteCommerciale,
                                                              const ArticoloListino& articoloListino,
                                                              ColumnValues more = {});
    std::optional<SceltaTestata> createSceltaTestataWithCodice(long long codice, ColumnValues more = {});
    std::optional<SceltaRiga> createSceltaRigaForSceltaTestata(const SceltaTestata& testata, ColumnValues more = {});
    std::optional<SceltaTaglia> createSceltaTagliaWithTaglia(const std::string& taglia, const SceltaRiga& riga,
                                                             ColumnValues more = {});
    std::optional<TagliaGruppo> createTagliaGruppoWithCodice(const std::string& codice, ColumnValues more = {});
    std::optional<TagliaDettaglio> createTagliaDettaglioWithCodice(const std::string& codice,
                                                                   const TagliaGruppo& gruppo, ColumnValues more = {});
    std::optional<TempSceltaTaglia> createTempSceltaTagliaWithTaglia(const std::string& taglia,
                                                                     const ColoreSxBarra& coloreSxBarra);
    std::optional<Agente> createAgenteWithCodice(const std::string& codice, ColumnValues more = {});
    std::optional<Pagamento> createPagamentoWithCodice(const std::string& codice, ColumnValues more = {});
    std::optional<Resa> createResaWithCodice(const std::string& codice, ColumnValues more = {});
    std::optional<Mastro> createMastroWithCodice(const std::string& codice, ColumnValues more = {});
    std::optional<Nazione> createNazioneWithCodice(const std::string& codice, ColumnValues more = {});
    std::optional<BusinessUnit> createBusinessUnitWithCodice(const std::string& codice, ColumnValues more = {});
    std::optional<SerieAlfanumerica> createSerieAlfanumericaWithBarCode(const std::string& barCode,
                                                                        ColumnValues more = {});
    std::optional<ColoreAlfanumerico> createColoreAlfanumericoWithBarCode(const std::string& barCode,
                                                                          ColumnValues more = {});
    std::optional<Spedizioniere> createSpedizioniereWithCodice(const std::string& codice, ColumnValues more = {});
    std::optional<Importanza> createImportanzaWithCodice(const std::string& codice, ColumnValues more = {});
    std::optional<Parametro> createParametroWithAttributo(const std::string& attributo, ColumnValues more = {});
    std::optional<VarianteCommerciale> createVarianteCommercialeWithCodice(const std::string& codice,
                                                                           ColumnValues more = {});
    std::optional<GruppoCommerciale> createGruppoCommercialeWithCodice(const std::string& codice,
                                                                       ColumnValues more = {});
    std::optional<Maggiorazione> createMaggiorazioneWithCodice(const std::string& codice, ColumnValues more = {});
    // The article is not stored: the colour knows its article.
    std::optional<Giacenza> createGiacenzaWithDescrizione(const std::string& descrizione, const Articolo& articolo,
                                                          const Colore& colore, ColumnValues more = {});
    std::optional<EsposizioneCliente> createEsposizioneClienteWithCodice(const std::string& codice,
                                                                         ColumnValues more = {});
    std::optional<Esposizione> createEsposizioneForEsposizioneCliente(const EsposizioneCliente& cliente,
                                                                      ColumnValues more = {});
    std::optional<EsposizioneRiga> createEsposizioneRigaForEsposizione(const Esposizione& esposizione);
    std::optional<StatCliente> createStatClienteWithCodice(const std::string& codice, ColumnValues more = {});
    std::optional<StatCollezione> createStatCollezioneWithCodice(const std::string& codice, const StatCliente& cliente,
                                                                 ColumnValues more = {});
    std::optional<StatArticolo> createStatArticoloWithCodice(const std::string& codice,
                                                             const StatCollezione& collezione, ColumnValues more = {});
    std::optional<StatBusiness> createStatBusinessWithCodice(const std::string& codice, const StatArticolo& articolo,
                                                             ColumnValues more = {});
    std::optional<StatTipo> createStatTipoWithCodice(const std::string& codice, const StatBusiness& business,
                                                     ColumnValues more = {});
    std::optional<StatPeriodo> createStatPeriodoWithCodice(const std::string& codice, const StatCliente& cliente,
                                                           ColumnValues more = {});

    // ---- fetch one: the first match, or none ----
    std::optional<Cliente> fetchClienteByCodice(const std::string& codice);
    std::optional<ClienteInfo> fetchClienteInfoByCodice(const std::string& codice);
    std::optional<AgenteCompetenza> fetchAgenteCompetenzaByAgente(const std::string& agente, const std::string& area,
                                                                  const std::string& businessUnit);
    std::optional<Destinazione> fetchDestinazioneByCodice(const std::string& codice, const Cliente& cliente);
    std::optional<Listino> fetchListinoByBarCode(const std::string& barCode);
    std::optional<ArticoloListino> fetchArticoloListinoByArticolo(const std::string& articolo, const Listino& listino);
    std::optional<Prezzo> fetchPrezzoByListino(const std::string& listino, const std::string& articolo,
                                               const std::string& varianteCommerciale);
    std::optional<Articolo> fetchArticoloByCodice(const std::string& codice);
    std::optional<Articolo> fetchArticoloByBarCode(const std::string& barCode);
    std::optional<ColoreSxBarra> fetchColoreSxBarraWithCodice(const std::string& codice, const Articolo& articolo);
    std::optional<SceltaTestata> fetchSceltaTestataByCodice(long long codice);
    std::optional<Agente> fetchAgenteByCodice(const std::string& codice);
    std::optional<Pagamento> fetchPagamentoByCodice(const std::string& codice);
    std::optional<Mastro> fetchMastroByCodice(const std::string& codice);
    std::optional<Nazione> fetchNazioneByCodice(const std::string& codice);
    std::optional<BusinessUnit> fetchBusinessUnitByCodice(const std::string& codice);
    std::optional<SerieAlfanumerica> fetchSerieAlfanumericaByBarCode(const std::string& barCode);
    std::optional<ColoreAlfanumerico> fetchColoreAlfanumericoByBarCode(const std::string& barCode);
    std::optional<Spedizioniere> fetchSpedizioniereByCodice(const std::string& codice);
    std::optional<Resa> fetchResaByCodice(const std::string& codice);
    std::optional<Importanza> fetchImportanzaByCodice(const std::string& codice);
    std::optional<Parametro> fetchParametroByAttributo(const std::string& attributo);
    std::optional<VarianteCommerciale> fetchVarianteCommercialeByCodice(const std::string& codice);
    std::optional<GruppoCommerciale> fetchGruppoCommercialeByCodice(const std::string& codice,
                                                                    const std::string& variante);
    std::optional<Maggiorazione> fetchMaggiorazioneByCodice(const std::string& codice);
    std::optional<TagliaGruppo> fetchTagliaGruppoByCodice(const std::string& codice);
    std::optional<EsposizioneCliente> fetchEsposizioneClienteByCodice(const std::string& codice);
    std::optional<StatCliente> fetchStatClienteByCodice(const std::string& codice);
    std::optional<StatArticolo> fetchStatArticoloByStatCollezione(const std::string& cliente,
                                                                  const std::string& collezione,
                                                                  const std::string& articolo);
    std::optional<StatBusiness> fetchStatBusinessByStatArticolo(const std::string& cliente,
                                                                const std::string& collezione,
                                                                const std::string& articolo,
                                                                const std::string& business);
    // An ambiguous colour barcode counts as not found (both colours are logged).
    std::optional<Colore> fetchColoreByBarCode(const std::string& barCode);
    std::optional<Colore> fetchColoreByArticolo(const std::string& articolo, const std::string& codiceColore);
    // The same for an article already at hand (one query instead of two).
    std::optional<Colore> fetchColoreByArticolo(const Articolo& articolo, const std::string& codiceColore);
    // Every colour as fetchColoreByArticolo would find it from its article's id and its code,
    // under coloreKey: one query for a section that looks up thousands. None after a failure.
    std::optional<std::unordered_map<std::string, Colore>> fetchColoriByArticoloAndCodice();
    static std::string coloreKey(long long articolo, std::string_view codiceColore);
    // Whether the entity's table holds no row; none after a failure.
    std::optional<bool> isEmpty(const std::string& entityName);

    // ---- fetch many: the list (maybe empty), none after a failure ----
    std::optional<std::vector<Cliente>> fetchAllCliente();
    // Clients where every word of `text` occurs in a name line or the town, ignoring case and
    // accents ("rossi prato"), in name order; a text without words finds none.
    std::optional<std::vector<Cliente>> fetchAllMatchesCliente(const std::string& text);
    std::optional<std::vector<Cliente>> fetchAllClienteByPartitaIva(const std::string& partitaIva);
    std::optional<std::vector<Parametro>> fetchAllMatchesParametro(const std::string& prefix);
    std::optional<std::vector<Agente>> fetchAllAgente();
    std::optional<std::vector<Listino>> fetchAllListinoWithTipo(const std::string& tipo);
    std::optional<std::vector<Mastro>> fetchAllMastro();
    std::optional<std::vector<Nazione>> fetchAllNazione();
    std::optional<DistinctValues> fetchAllAreaVendita();
    std::optional<DistinctValues> fetchAllDivisa();
    std::optional<std::vector<Pagamento>> fetchAllPagamento();
    std::optional<std::vector<Resa>> fetchAllResa();
    std::optional<std::vector<Spedizioniere>> fetchAllSpedizioniere();
    std::optional<std::vector<Importanza>> fetchAllImportanza();
    std::optional<std::vector<BusinessUnit>> fetchAllBusinessUnit();
    std::optional<std::vector<ArticoloListino>> fetchAllArticoloListinobyListino(const Listino& listino);
    std::optional<std::vector<ArticoloListino>> fetchAllMatchesArticoloListino(const Listino& listino,
                                                                               const std::string& text);
    std::optional<std::vector<Prezzo>> fetchAllPrezziByArticoloListino(const ArticoloListino& articoloListino);
    // None (not an empty list) when there is no surcharged price.
    std::optional<std::vector<Prezzo>> fetchPrezziConMaggiorazioniByListino(const std::string& listino,
                                                                            const std::string& articolo,
                                                                            const std::string& varianteCommerciale);
    std::optional<std::vector<SceltaTestata>> fetchAllSceltaTestataWithStatus(OrderStatus status);
    std::optional<std::vector<SceltaTestata>> fetchAllSceltaTestata();
    std::optional<std::vector<SceltaRiga>> fetchAllSceltaRigaByTestata(const SceltaTestata& testata);
    // Only its lines of one article, in line order.
    std::optional<std::vector<SceltaRiga>> fetchAllSceltaRigaByTestata(const SceltaTestata& testata,
                                                                      const std::string& articolo);
    std::optional<DistinctValues> fetchAllListinoByTestata(const SceltaTestata& testata);
    std::optional<std::vector<Giacenza>> fetchGiacenzaByArticolo(const std::string& articolo);
    // (client code, collection code)
    std::optional<std::vector<StatArticolo>> fetchAllStatArticoloByStatCollezione(const std::string& cliente,
                                                                                   const std::string& collezione);

    // ---- deletions ----
    void deleteDatabase();
    void deleteAllScelta();
    void deleteAllSceltaOpened();
    void deleteArticoliColoriGiacenzeFromDatabase();
    void deleteListiniPrezziFromDatabase();
    void deleteClientiEtcFromDatabase();
    void deleteEsposizioneFromDatabase();
    void deleteGenericaTutteRows(const std::string& entityName);
    void deleteSceltaByTestata(const SceltaTestata& testata);
    void deleteSceltaWithSceltaRiga(const SceltaRiga& riga);
    void deleteGenericaSingolaRow(const Record& record);
    void deleteStatClienteAndChildren(const StatCliente& cliente);

    // The entities each group empties, in order.
    static const std::vector<std::string>& wholeCatalogueGroup();

private:
    Database(std::shared_ptr<StoreConnection> connection, std::string company, std::string path);

    struct Operation {
        const char* reason;
        const char* logLine;
    };

    // The frame of every operation: the lock when asked for, the failure caught and logged,
    // a rollback after a failed change when commits are on.
    template <typename Work>
    auto guarded(const Operation& operation, bool rollBackOnFailure, Work&& work) -> decltype(work());
    std::unique_lock<std::recursive_mutex> lockIfAsked();

    std::vector<long long> ids(const char* reason, const std::string& sql, const std::vector<SqlValue>& binds = {});
    template <typename T>
    std::optional<T> fetchOne(const Operation& operation, const std::string& where, std::vector<SqlValue> binds);
    template <typename T>
    std::optional<std::vector<T>> fetchMany(const Operation& operation, const std::string& sql,
                                            std::vector<SqlValue> binds);
    std::optional<DistinctValues> fetchDistinct(const Operation& operation, const std::string& column,
                                                const std::string& sql, std::vector<SqlValue> binds);
    template <typename T>
    std::optional<T> create(const char* entityName, ColumnValues values, const Record* parent = nullptr,
                            const char* parentRelationship = nullptr, ColumnValues more = {});
    void deleteGroup(const Operation& operation, const std::vector<std::string>& entities, bool formatReason,
                     bool announce = false);
    void deleteAll(const char* reason, const std::string& entity, const std::string& where = {});

    std::shared_ptr<StoreConnection> connection_;
    std::string currentAzienda_;
    std::string filePath_;
    // Set by the loader thread while order entry may read them.
    std::atomic<bool> doLock_{true};
    std::atomic<bool> doCommit_{true};

    static std::mutex sharedMutex_;
    static std::shared_ptr<Database> shared_;
};

}  // namespace torvane
