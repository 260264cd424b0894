// Fills a store the size of a large catalogue (20k articles x 10 colours, 10 price lists x
// 20k prices, 50k clients) through the store service, then times the lookups order entry
// makes on every scan and the client search.
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "BenchStats.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "store/Database.h"

using namespace torvane;
using bench::Clock;

namespace {
constexpr int kArticles = 20000, kColours = 10, kLists = 10, kClients = 50000;

std::string articleCode(int a) { return format("%06d", a); }
std::string colourCode(int a, int c) { return articleCode(a) + format("%03d", c); }
std::string listCode(int l) { return format("L%02d", l); }
}  // namespace

int main() {
    auto folder = std::filesystem::temp_directory_path() / "torvane-bench-store";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    Paths::setRoot(folder.string());
    Preferences::resetStandard((folder / "prefs.json").string());
    Log::useCapture();  // keep the store's lines out of the figures

    auto db = Database::openFile((folder / "bench.sqllite").string(), "B");
    if (!db) return 1;

    auto start = Clock::now();
    long long rows = 0;
    std::vector<Articolo> articles;
    for (int a = 0; a < kArticles; ++a) {
        auto article = db->createArticoloWithBarCode(articleCode(a));
        article->setCodice(articleCode(a));
        articles.push_back(*article);
        for (int c = 0; c < kColours; ++c) db->createColoreWithBarCode(colourCode(a, c), *article);
        rows += 1 + kColours;
    }
    for (int l = 0; l < kLists; ++l) {
        auto list = db->createListinoWithBarCode(listCode(l));
        for (int a = 0; a < kArticles; ++a) {
            auto entry = db->createArticoloListinoWithArticolo(articleCode(a), *list);
            auto price = db->createPrezzoWithVarianteCommerciale("01", *entry);
            price->setValore(Decimal::fromInteger(10 + a % 90));
            rows += 2;
        }
    }
    for (int c = 0; c < kClients; ++c) {
        auto client = db->createClienteWithBarCode(format("C%06d", c));
        client->setRagioneSociale1(format("Tessuti %@ di Rossi & C. %d", c % 7 ? "Moda" : "Città", c));
        ++rows;
    }
    db->commit();
    double fill = bench::secondsSince(start);
    std::printf("fill: %lld records in %.2f s (%.0f records/s), file %.1f MB\n", rows, fill, rows / fill,
                std::filesystem::file_size(folder / "bench.sqllite") / 1e6);

    std::mt19937 random(7);
    auto anyArticle = [&] { return static_cast<int>(random() % kArticles); };
    bench::Samples prices, colours, articlesByCode, search;
    // Every lookup must find what it looks for: a benchmark of lookups that fail would time
    // the wrong path.
    long long found = 0, lookups = 0;
    for (int i = 0; i < 20000; ++i) {
        int a = anyArticle();
        std::string list = listCode(static_cast<int>(random() % kLists)), code = articleCode(a);
        prices.time([&] { found += db->fetchPrezzoByListino(list, code, "01").has_value(); });
        std::string colour = colourCode(a, static_cast<int>(random() % kColours));
        colours.time([&] { found += db->fetchColoreByBarCode(colour).has_value(); });
        articlesByCode.time([&] { found += db->fetchArticoloByBarCode(code).has_value(); });
        lookups += 3;
    }
    std::size_t matched = 0;
    int emptySearches = 0;  // each search is written to match: one that finds nobody fails the run
    for (int i = 0; i < 30; ++i) {
        std::string text = i % 2 ? format("%d", 1000 + i * 37) : "citta";  // accents folded
        std::size_t hits = 0;
        search.time([&] { hits = db->fetchAllMatchesCliente(text).value_or(std::vector<Cliente>{}).size(); });
        matched += hits;
        emptySearches += hits == 0;
    }
    std::printf("lookups: %lld of %lld found; clients matched by the searches: %zu, searches matching nobody: %d\n",
                found, lookups, matched, emptySearches);
    prices.print("fetchPrezzoByListino (10 x 20k prices)");
    colours.print("fetchColoreByBarCode (200k colours)");
    articlesByCode.print("fetchArticoloByBarCode (20k articles)");
    search.print("fetchAllMatchesCliente (50k clients)");

    db.reset();
    std::filesystem::remove_all(folder);
    return found == lookups && emptySearches == 0 ? 0 : 1;
}
