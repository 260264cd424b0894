#include "loader/SectionLoader.h"

#include <algorithm>
#include <array>
#include <mutex>

#include "loader/CaricatoreDatabase.h"
#include "loader/LoadCounters.h"
#include "loader/xml/XmlCatalogueReader.h"
#include "platform/Log.h"
#include "store/Database.h"
#include "store/StoreConnection.h"

namespace torvane {

namespace {

// The sections in the order they are loaded. The code tables load only with the clients.
constexpr std::array<const char*, 21> kOrder = {
    "Mastri",        "Nazioni",     "Agenti",          "Spedizionieri",     "Pagamenti",
    "BusinessUnits", "SerieAlfanumeriche", "ColoriAlfanumerici", "Rese", "Importanze",
    "ClientiFornitori", "Taglie",   "Articoli",        "Listini",           "VariantiCommerciali",
    "GruppiCommerciali", "Maggiorazioni", "Parametri", "Giacenze",          "Statistiche",
    "Esposizioni"};
constexpr std::size_t kClienti = 10;

int rank(const std::string& name) {
    for (std::size_t i = 0; i < kOrder.size(); ++i)
        if (name == kOrder[i]) return static_cast<int>(i);
    return -1;
}

}  // namespace

SectionLoader::SectionLoader(CaricatoreDatabase& loader, LoadCounters& counters, Database& db, ProgressView* view,
                             double total)
    : loader_(loader), counters_(counters), db_(db), view_(view), total_(total) {}

SectionLoader::~SectionLoader() = default;

void SectionLoader::commit() { db_.commit(); }

void SectionLoader::wipe(const std::string& group, const std::function<void()>& deleteRows) {
    Log::line("Sto cancellando " + group + " ...");
    deleteRows();
    commit();
    Log::line("Sto caricando   " + group + " ...");
}

int SectionLoader::eachRecord(XmlSectionRecords& records, std::string_view element, const RecordLoad& loadOne,
                              RecordLock lock) {
    int loaded = 0;
    XmlRecord record;
    while (records.next(record)) {
        if (record.name() != element) continue;
        ++loaded;
        if (lock == RecordLock::ByLoader) {
            loadOne(record);
            continue;
        }
        std::lock_guard guard(db_.connection()->mutex());
        loadOne(record);
    }
    return loaded;
}

void SectionLoader::flushIfDue(int& counter, const std::string& message) {
    if (counter <= 1000) return;
    Log::line(message);
    commit();
    counters_.tags += counter;
    counter = 0;
    loader_.refreshProgressView(view_, static_cast<float>(counters_.tags), static_cast<float>(total_));
}

void SectionLoader::load(const XmlCatalogueReader& reader, const std::vector<std::string>& present) {
    bool withClients = std::find(present.begin(), present.end(), "ClientiFornitori") != present.end();
    // The sections to load, in their order.
    std::vector<std::string> plan;
    for (std::size_t i = 0; i < kOrder.size(); ++i) {
        if (i < kClienti && !withClients) continue;
        if (std::find(present.begin(), present.end(), kOrder[i]) != present.end()) plan.emplace_back(kOrder[i]);
    }
    std::size_t next = 0;
    std::set<std::string> seen;
    // A section met before one that must load first waits until its turn.
    auto drainKept = [&] {
        while (next < plan.size()) {
            auto kept = kept_.find(plan[next]);
            if (kept == kept_.end()) break;
            XmlSectionRecords records(kept->second);
            process(plan[next], records);
            kept_.erase(kept);
            ++next;
        }
    };
    reader.forEachSection([&](const std::string& name, XmlSectionRecords& records) {
        if (!seen.insert(name).second) return;  // only the first section of each name counts
        auto planned = std::find(plan.begin() + static_cast<long>(next), plan.end(), name);
        if (planned == plan.end()) return;
        if (planned == plan.begin() + static_cast<long>(next)) {
            process(name, records);
            ++next;
            drainKept();
        } else {
            kept_[name] = records.whole();
        }
    });
    drainKept();
}

void SectionLoader::process(const std::string& name, XmlSectionRecords& records) {
    cache_.clear();
    int r = rank(name);
    if (r >= 0 && static_cast<std::size_t>(r) <= kClienti && !masterDataWiped_) wipeMasterData();
    using SectionLoad = void (SectionLoader::*)(XmlSectionRecords&);
    // The sections after the code tables, in the order of kOrder.
    static constexpr std::array<SectionLoad, kOrder.size() - kClienti> kLoads = {
        &SectionLoader::loadClienti,     &SectionLoader::loadTaglie,
        &SectionLoader::loadArticoli,    &SectionLoader::loadListini,
        &SectionLoader::loadVariantiCommerciali, &SectionLoader::loadGruppiCommerciali,
        &SectionLoader::loadMaggiorazioni, &SectionLoader::loadParametri,
        &SectionLoader::loadGiacenze,    &SectionLoader::loadStatistiche,
        &SectionLoader::loadEsposizioni};
    if (r >= 0 && static_cast<std::size_t>(r) < kClienti) loadCodeTable(name, records);
    else if (r >= 0) (this->*kLoads[static_cast<std::size_t>(r) - kClienti])(records);
}

}  // namespace torvane
