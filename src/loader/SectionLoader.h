#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <string>
#include <string_view>
#include <vector>

#include "loader/xml/XmlRecord.h"
#include "platform/Decimal.h"
#include "store/Entities.h"
#include "store/SqlValue.h"

namespace torvane {

class CaricatoreDatabase;
class Database;
struct LoadCounters;
class ProgressView;
class XmlCatalogueReader;
class XmlSectionRecords;

// Loads the sections of one accepted document into the store, in their fixed order whatever
// their order in the file, each wiping the group it replaces. Records are read one subtree at
// a time; commits come after each wipe, every thousand elements and at the end of a section.
class SectionLoader {
public:
    // `counters`: the run's, added to as records are created.
    SectionLoader(CaricatoreDatabase& loader, LoadCounters& counters, Database& db, ProgressView* view, double total);
    ~SectionLoader();

    // `present`: the first Azienda's sections as the reader found them. Raises on a store
    // failure.
    void load(const XmlCatalogueReader& reader, const std::vector<std::string>& present);

private:
    // ---- the frame ----
    void process(const std::string& name, XmlSectionRecords& records);
    void count(int& counter, int n = 1) { counter += n; }
    // After a record: past 1000 elements, log, commit and move the bar.
    void flushIfDue(int& counter, const std::string& message);
    void commit();
    // Logs the wipe of a group, runs it and commits it, then logs that the group loads.
    void wipe(const std::string& group, const std::function<void()>& deleteRows);
    // Who holds the store lock while a record loads: the loop, or the record's own loader
    // (which lets the screens in between two batches of a long record).
    enum class RecordLock { PerRecord, ByLoader };
    using RecordLoad = std::function<void(const XmlRecord&)>;
    // Loads every record element of that name in file order; returns how many there were.
    // The caller commits after it.
    int eachRecord(XmlSectionRecords& records, std::string_view element, const RecordLoad& loadOne,
                   RecordLock lock = RecordLock::PerRecord);
    // Collect the column values of one row so that it is written with one statement.
    class RowValues;
    template <typename T>
    class PendingRow;

    // ---- master data ----
    void wipeMasterData();
    void loadCodeTable(const std::string& section, XmlSectionRecords& records);
    void loadClienti(XmlSectionRecords& records);
    void loadCliente(const XmlRecord& element);
    void loadClienteAgenti(const XmlRecord& agenti, const Cliente& cliente);
    void loadDestinazione(const XmlRecord& element, const Cliente& cliente, const std::string& codiceCliente);
    bool agentFilterAccepts(const XmlRecord& element) const;

    // ---- catalogue ----
    void loadTaglie(XmlSectionRecords& records);
    void loadArticoli(XmlSectionRecords& records);
    void loadArticolo(const XmlRecord& element);
    void loadListini(XmlSectionRecords& records);
    void loadListino(const XmlRecord& element);
    void loadPrezzo(const XmlRecord& price, const Listino& listino, const std::string& descrizione);
    void loadVariantiCommerciali(XmlSectionRecords& records);
    void loadGruppiCommerciali(XmlSectionRecords& records);
    void loadMaggiorazioni(XmlSectionRecords& records);

    // ---- parameters, stock, statistics, exposure ----
    void loadParametri(XmlSectionRecords& records);
    void applyPreferences();
    void loadGiacenze(XmlSectionRecords& records);
    void loadGiacenza(const XmlRecord& element, const Listino& stockList);
    void loadStatistiche(XmlSectionRecords& records);
    void loadStoricoVendite(const XmlRecord& element);
    // A collection's totals: every business type of its articles but "T+CC".
    struct StatTotals {
        Decimal pezzi = Decimal::fromInteger(0);
        Decimal quantita = Decimal::fromInteger(0);
        Decimal valore = Decimal::fromInteger(0);
    };
    void loadStatCollezione(const XmlRecord& element, const StatCliente& stat,
                            const std::optional<std::string>& divisa);
    void loadStatArticolo(const XmlRecord& element, const StatCollezione& collezione, StatTotals& totals);
    void loadStatTipo(const XmlRecord& element, const StatBusiness& business, StatTotals& totals);
    void loadEsposizioni(XmlSectionRecords& records);
    void loadEsposizione(const XmlRecord& element);

    CaricatoreDatabase& loader_;
    LoadCounters& counters_;
    Database& db_;
    ProgressView* view_;
    double total_;
    int elements_ = 0;      // the running element count shared by the sections
    int codeTables_ = 0;    // the first three code tables keep a count of their own
    bool masterDataWiped_ = false;
    std::optional<std::string> agente_;
    std::map<std::string, XmlRecord> kept_;

    // Lookups a section repeats for every record, remembered while the section runs. Each is
    // exact: it holds only what the store would answer, because within its section nothing
    // else creates or removes those records (the section's wipe emptied them, or every new one
    // goes through here).
    struct SectionCache {
        std::unordered_set<std::string> articleCodes;  // articles created so far (Articoli)
        std::unordered_map<std::string, std::optional<Articolo>> articles;
        std::unordered_map<std::string, ArticoloListino> entries;  // list id + article code
        std::unordered_map<std::string, Colore> colours;           // Database::coloreKey
        // Whether those hold every row the store has, so that a miss needs no query.
        bool allEntries = false;
        bool allColours = false;
        std::unordered_map<std::string, AgenteCompetenza> competences;
        void clear() { *this = SectionCache(); }
    };
    SectionCache cache_;
};

}  // namespace torvane
