// Catalogue load against its floor, on the same bytes, each in a process of its own so that
// each has its own peak memory:
//   (a) the floor: a libxml2 streaming read of the document (one record subtree at a time) and
//       a raw prepared-statement INSERT of the same rows in one transaction;
//   (b) the load: CaricatoreDatabase::caricaXmlNamed into a fresh store.
//   LoadCatalogue small|medium|large [DOCUMENT.xml]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <unordered_map>

#include "BenchStats.h"
#include "CatalogueGenerator.h"
#include "NullLogSink.h"
#include "loader/CaricatoreDatabase.h"
#include "loader/xml/XmlStreamReader.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "store/Database.h"
#include "store/StoreConnection.h"

using namespace torvane;
using namespace torvane::bench;

namespace {

// Rows of one entity written with one cached INSERT per column set.
class RawInserter {
public:
    explicit RawInserter(StoreConnection& connection) : connection_(connection) {}

    long long insert(const std::string& entity, const std::vector<std::pair<std::string, SqlValue>>& values) {
        std::string sql = "INSERT INTO \"" + entity + "\" (";
        std::string marks;
        std::vector<SqlValue> binds;
        for (std::size_t i = 0; i < values.size(); ++i) {
            sql += (i ? ", \"" : "\"") + values[i].first + "\"";
            marks += i ? ", ?" : "?";
            binds.push_back(values[i].second);
        }
        connection_.execute(sql + ") VALUES (" + marks + ")", binds);
        ++rows_;
        return connection_.lastInsertId();
    }
    // A child element's text under the column of the same name (first letter lower case).
    bool hasColumn(const std::string& entity, const std::string& column) {
        auto& columns = columns_[entity];
        if (columns.empty())
            for (auto& row : connection_.query("PRAGMA table_info(\"" + entity + "\")"))
                columns.insert(std::get<std::string>(row[1]));
        return columns.count(column) > 0;
    }
    long long rows() const { return rows_; }

private:
    StoreConnection& connection_;
    std::map<std::string, std::set<std::string>> columns_;
    long long rows_ = 0;
};

std::string lowerFirst(std::string_view name) {
    std::string column(name);
    if (!column.empty()) column[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(column[0])));
    return column;
}

std::vector<std::pair<std::string, SqlValue>> textChildren(RawInserter& rows, const std::string& entity,
                                                           const XmlRecord& element) {
    std::vector<std::pair<std::string, SqlValue>> values;
    for (const XmlRecord& child : element.children()) {
        std::string column = lowerFirst(child.name());
        if (!child.children().empty() || !rows.hasColumn(entity, column)) continue;
        values.emplace_back(column, child.text());
    }
    return values;
}

long long floorRun(const std::string& xml, const std::string& folder) {
    auto db = Database::openFile(folder + "/floor.sqllite", "01");
    StoreConnection& connection = *db->connection();
    RawInserter rows(connection);
    std::unordered_map<std::string, long long> colours;  // article code + colour code -> row
    std::set<std::string> stockArticles;
    long long stockList = 0;
    rows.insert("AgenteCompetenza", {{"agente", std::string("AG01")}, {"area", std::string("N")},
                                     {"businessUnit", std::string("BU1")}});
    XmlStreamReader reader(xml);
    auto failure = reader.forEachSection([&](const std::string& section, XmlSectionRecords& records) {
        XmlRecord element;
        while (records.next(element)) {
            if (section == "Mastri" || section == "Agenti") {
                auto values = textChildren(rows, std::string(element.name()), element);
                values.emplace_back("codice", element.attribute("Codice").value_or(""));
                rows.insert(std::string(element.name()), values);
            } else if (section == "ClientiFornitori") {
                auto values = textChildren(rows, "Cliente", element);
                values.emplace_back("barCode", element.attribute("BarCode").value_or(""));
                values.emplace_back("mastro", element.firstChild("Codice").text().substr(0, 2));
                long long cliente = rows.insert("Cliente", values);
                rows.insert("Cliente_AgenteCompetenza", {{"Cliente", cliente}, {"AgenteCompetenza", 1LL}});
                for (const XmlRecord& d : element.firstChild("Destinazioni").children()) {
                    auto dest = textChildren(rows, "Destinazione", d);
                    dest.emplace_back("codice", d.attribute("Codice").value_or(""));
                    dest.emplace_back("cliente", cliente);
                    rows.insert("Destinazione", dest);
                }
            } else if (section == "Articoli") {
                auto values = textChildren(rows, "Articolo", element);
                values.emplace_back("barCode", element.attribute("BarCode").value_or(""));
                long long articolo = rows.insert("Articolo", values);
                std::string code = element.firstChild("Codice").text();
                long long position = 0;
                for (const XmlRecord& c : element.firstChild("Colori").children()) {
                    std::string colour = c.attribute("Codice").value_or("");
                    colours[code + "/" + colour] = rows.insert(
                        "Colore", {{"barCode", c.attribute("BarCode").value_or("")},
                                   {"codice", colour},
                                   {"descrizione", c.attribute("Descrizione").value_or("")},
                                   {"varianteCommerciale", c.attribute("VarComm").value_or("")},
                                   {"articolo", articolo},
                                   {"articoloPosizione", position++}});
                }
            } else if (section == "Listini") {
                auto values = textChildren(rows, "Listino", element);
                values.emplace_back("barCode", element.attribute("BarCode").value_or(""));
                values.emplace_back("tipo", std::string("N"));
                long long listino = rows.insert("Listino", values);
                for (const XmlRecord& p : element.firstChild("Prezzi").children()) {
                    long long entry = rows.insert(
                        "ArticoloListino", {{"articolo", p.attribute("Articolo").value_or("")}, {"listino", listino}});
                    std::string valore = p.attribute("Valore").value_or("");
                    for (char& ch : valore)
                        if (ch == ',') ch = '.';
                    rows.insert("Prezzo", {{"varianteCommerciale", p.attribute("VarComm").value_or("")},
                                           {"valore", valore},
                                           {"articoloListino", entry}});
                }
            } else if (section == "Giacenze") {
                // The stock list and its one entry per article, as the load makes them.
                if (stockList == 0)
                    stockList = rows.insert("Listino", {{"barCode", std::string("STOCK-SUPER-PARTES")},
                                                        {"descrizione", std::string("Stock (SUPER-PARTES)")},
                                                        {"tipo", std::string("S")}});
                std::string art = element.attribute("Art").value_or("");
                if (stockArticles.insert(art).second)
                    rows.insert("ArticoloListino", {{"articolo", art}, {"listino", stockList}});
                long long colour = colours[element.attribute("Art").value_or("") + "/" +
                                           element.attribute("Col").value_or("")];
                for (const XmlRecord& t : element.children())
                    rows.insert("Giacenza", {{"descrizione", t.attribute("Descr").value_or("")},
                                             {"um", t.attribute("Um").value_or("")},
                                             {"quantita", t.attribute("Qta").value_or("")},
                                             {"pezzi", t.attribute("Pz").value_or("")},
                                             {"partita", t.attribute("Pta").value_or("")},
                                             {"colore", colour}});
            }
        }
    });
    if (failure) std::fprintf(stderr, "floor: %s\n", failure->message.c_str());
    db->commit();
    return rows.rows();
}

long long loadRun(const std::string& xml, const std::string& folder) {
    auto db = Database::openFile(folder + "/load.sqllite", "01");
    CaricatoreDatabase loader;
    loader.setDatabase(db);
    loader.caricaXmlNamed("01.L1.xml", xml, nullptr);
    if (loader.result() != 0) std::fprintf(stderr, "load: result %d\n", loader.result());
    long long rows = 0;
    for (const char* entity : {"Cliente", "Destinazione", "Cliente_AgenteCompetenza", "Articolo", "Colore", "Listino",
                               "ArticoloListino", "Prezzo", "Giacenza", "Mastro", "Agente"})
        rows += std::get<long long>(db->connection()->query(std::string("SELECT COUNT(*) FROM \"") + entity + "\"")[0][0]);
    return rows;
}

struct Measure {
    double seconds = 0;
    long long rows = 0;
    long peakKb = 0;
};

// Runs `work` in a child process: its duration, its row count and its peak resident memory.
template <typename Work>
Measure inChild(Work work) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {};
    pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        auto start = Clock::now();
        long long rows = 0;
        try {
            rows = work();
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "%s\n", failure.what());
            _exit(1);
        }
        double seconds = secondsSince(start);
        std::string line = std::to_string(seconds) + " " + std::to_string(rows);
        if (write(pipeFds[1], line.data(), line.size()) < 0) _exit(1);
        _exit(0);
    }
    close(pipeFds[1]);
    char buffer[128] = {};
    ssize_t n = read(pipeFds[0], buffer, sizeof buffer - 1);
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    Measure m;
    if (n > 0) std::sscanf(buffer, "%lf %lld", &m.seconds, &m.rows);
    m.peakKb = usage.ru_maxrss;
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    const CatalogueSize* size = argc >= 2 ? catalogueSize(argv[1]) : nullptr;
    if (!size) {
        std::fprintf(stderr, "uso: %s small|medium|large [DOCUMENTO.xml]\n", argv[0]);
        return 2;
    }
    std::string xml;
    if (argc >= 3) {
        std::ifstream in(argv[2], std::ios::binary);
        xml.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else {
        xml = CatalogueGenerator::generate(*size);
    }
    auto folder = std::filesystem::temp_directory_path() / ("torvane-bench-load-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    Paths::setRoot(folder.string());
    Preferences::resetStandard((folder / "prefs.json").string());
    Log::setSink(std::make_shared<NullLogSink>());

    double mb = static_cast<double>(xml.size()) / (1024.0 * 1024.0);
    std::printf("catalogue %s: %.1f MB\n", size->name, mb);
    Measure floor = inChild([&] { return floorRun(xml, folder.string()); });
    std::printf("floor (stream + raw insert)   %7.2f s  %8lld rows  peak %6.0f MB\n", floor.seconds, floor.rows,
                floor.peakKb / 1024.0);
    Measure load = inChild([&] { return loadRun(xml, folder.string()); });
    std::printf("caricaXmlNamed                %7.2f s  %8lld rows  peak %6.0f MB\n", load.seconds, load.rows,
                load.peakKb / 1024.0);
    std::printf("ratio load / floor            %7.2f   (target <= 2)\n", load.seconds / floor.seconds);
    std::printf("peak memory of the load       %7.0f MB (target <= 4 x %.0f + 100 = %.0f MB)\n", load.peakKb / 1024.0,
                mb, 4 * mb + 100);
    std::filesystem::remove_all(folder);
    return 0;
}
