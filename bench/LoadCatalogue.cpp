// Catalogue load against its floor, on the same bytes, each run in a process of its own so
// that each has its own peak memory:
//   (a) the floor (LeanCatalogueFloor): one text-reader pass and one prepared INSERT per table
//       into the store's own schema, in bulk mode and one transaction;
//   (b) the load: CaricatoreDatabase::caricaXmlNamed into a fresh store.
// Floor and load alternate, three runs each by default; the figures are medians. The rows of
// every table are counted after each and must be the same for both, or the run fails.
//   LoadCatalogue small|medium|large [RUNS] [DOCUMENT.xml]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "BenchStats.h"
#include "CatalogueGenerator.h"
#include "LeanCatalogueFloor.h"
#include "NullLogSink.h"
#include "loader/CaricatoreDatabase.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "store/Database.h"
#include "store/StoreConnection.h"

using namespace torvane;
using namespace torvane::bench;

namespace {

constexpr const char* kDocumentName = "01.L1.xml";
constexpr const char* kTimestamp = "20260101000000";

// Rows of every table of a store file.
std::map<std::string, long long> rowsPerTable(const std::string& path) {
    StoreConnection connection(path);
    std::map<std::string, long long> rows;
    for (auto& table : connection.query("SELECT name FROM sqlite_master WHERE type = 'table'")) {
        const auto& name = std::get<std::string>(table[0]);
        rows[name] = std::get<long long>(connection.query("SELECT COUNT(*) FROM \"" + name + "\"")[0][0]);
    }
    return rows;
}

// The floor and the load both start from an empty store with the schema made.
std::string freshStore(const std::string& path) {
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
    if (!Database::openFile(path, "01")) throw std::runtime_error("store not made: " + path);
    return path;
}

struct Measure {
    double seconds = 0;     // wall time of the timed work
    double cpuSeconds = 0;  // processor time of the whole child (user + system), steadier on a shared machine
    long peakKb = 0;
};

// Runs `work` in a child process: its duration and its peak resident memory. A run that fails
// ends the benchmark: its figures would measure something else.
template <typename Work>
Measure inChild(Work work) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) std::exit(1);
    pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        double seconds = 0;
        try {
            seconds = work();
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "%s\n", failure.what());
            _exit(1);
        }
        std::string line = std::to_string(seconds);
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
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || n <= 0) {
        std::fprintf(stderr, "a run failed\n");
        std::exit(1);
    }
    Measure m;
    std::sscanf(buffer, "%lf", &m.seconds);
    m.peakKb = usage.ru_maxrss;
    m.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return m;
}

double floorRun(const std::string& xml, const std::string& path) {
    LeanCatalogueFloor floor(freshStore(path));
    auto start = Clock::now();
    floor.load(xml, "SYSTEM_(null)_" + std::string(kDocumentName), kTimestamp);
    return secondsSince(start);
}

double loadRun(const std::string& xml, const std::string& path) {
    auto db = Database::openFile(freshStore(path), "01");
    CaricatoreDatabase loader;
    loader.setDatabase(db);
    auto start = Clock::now();
    loader.caricaXmlNamed(kDocumentName, xml, nullptr);
    double seconds = secondsSince(start);
    if (loader.result() != 0) throw std::runtime_error("load: result " + std::to_string(loader.result()));
    return seconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Prints the rows of each table for both; false when they differ anywhere.
bool compareRows(const std::map<std::string, long long>& floor, const std::map<std::string, long long>& load) {
    bool same = true;
    long long floorTotal = 0, loadTotal = 0;
    std::printf("%-28s %10s %10s\n", "table", "floor", "load");
    for (const auto& [table, rows] : load) {
        long long floorRows = floor.count(table) ? floor.at(table) : -1;
        floorTotal += floorRows > 0 ? floorRows : 0;
        loadTotal += rows;
        if (rows == 0 && floorRows == 0) continue;
        bool equal = rows == floorRows;
        same = same && equal;
        std::printf("%-28s %10lld %10lld%s\n", table.c_str(), floorRows, rows, equal ? "" : "   DIFFERENT");
    }
    std::printf("%-28s %10lld %10lld\n", "all tables", floorTotal, loadTotal);
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    const CatalogueSize* size = argc >= 2 ? catalogueSize(argv[1]) : nullptr;
    int runs = argc >= 3 ? std::atoi(argv[2]) : 3;
    if (!size || runs < 1) {
        std::fprintf(stderr, "uso: %s small|medium|large [RUNS] [DOCUMENTO.xml]\n", argv[0]);
        return 2;
    }
    std::string xml;
    if (argc >= 4) {
        std::ifstream in(argv[3], std::ios::binary);
        xml.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else {
        xml = CatalogueGenerator::generate(*size, kTimestamp);
    }
    auto folder = std::filesystem::temp_directory_path() / ("torvane-bench-load-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    Paths::setRoot(folder.string());
    Preferences::resetStandard((folder / "prefs.json").string());
    Log::setSink(std::make_shared<NullLogSink>());
    const std::string floorPath = (folder / "floor.sqllite").string();
    const std::string loadPath = (folder / "load.sqllite").string();

    double mb = static_cast<double>(xml.size()) / (1024.0 * 1024.0);
    std::printf("catalogue %s: %.1f MB, %d runs each, floor and load alternating\n", size->name, mb, runs);
    std::vector<double> floorSeconds, loadSeconds, ratios, floorCpu, loadCpu;
    long floorPeak = 0, loadPeak = 0;
    for (int run = 1; run <= runs; ++run) {
        Measure floor = inChild([&] { return floorRun(xml, floorPath); });
        Measure load = inChild([&] { return loadRun(xml, loadPath); });
        std::printf("run %d: floor %6.2f s  load %6.2f s  ratio %5.2f   cpu: floor %6.2f s  load %6.2f s\n", run,
                    floor.seconds, load.seconds, load.seconds / floor.seconds, floor.cpuSeconds, load.cpuSeconds);
        floorCpu.push_back(floor.cpuSeconds);
        loadCpu.push_back(load.cpuSeconds);
        floorSeconds.push_back(floor.seconds);
        loadSeconds.push_back(load.seconds);
        ratios.push_back(load.seconds / floor.seconds);
        floorPeak = std::max(floorPeak, floor.peakKb);
        loadPeak = std::max(loadPeak, load.peakKb);
    }
    bool sameRows = compareRows(rowsPerTable(floorPath), rowsPerTable(loadPath));
    std::printf("floor (text reader + prepared inserts) median %7.2f s  peak %6.0f MB\n", median(floorSeconds),
                floorPeak / 1024.0);
    std::printf("caricaXmlNamed                         median %7.2f s  peak %6.0f MB\n", median(loadSeconds),
                loadPeak / 1024.0);
    std::printf("ratio load / floor: of the medians %5.2f, median of the runs %5.2f  (target <= 1.5)\n",
                median(loadSeconds) / median(floorSeconds), median(ratios));
    std::printf("processor time (whole child, schema made included): floor %.2f s, load %.2f s, ratio %.2f\n",
                median(floorCpu), median(loadCpu), median(loadCpu) / median(floorCpu));
    std::printf("peak memory of the load %7.0f MB (target <= 4 x %.0f + 100 = %.0f MB)\n", loadPeak / 1024.0, mb,
                4 * mb + 100);
    std::filesystem::remove_all(folder);
    if (!sameRows) std::fprintf(stderr, "floor and load wrote different rows\n");
    return sameRows ? 0 : 1;
}
