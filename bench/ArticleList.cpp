// The article list of a price list of 20,000 articles: opening it and a search keystroke, each
// until a screenful of rows is read, with the photo server unreachable (every article has a
// photo address, so every drawn row asks for its thumbnail).
//   build/bench/ArticleList
#include <filesystem>
#include <memory>

#include "BenchStats.h"
#include "NullLogSink.h"
#include "articles/ElencoArticoliViewController.h"
#include "articles/FotoCache.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "script/ScriptUi.h"
#include "store/Database.h"

using namespace torvane;
using namespace torvane::bench;

int main() {
    constexpr int kArticles = 20000;
    constexpr int kScreenful = 12;
    const std::string root = (std::filesystem::temp_directory_path() / "torvane-bench-articles").string();
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    Paths::setRoot(root);
    Preferences::resetStandard(root + "/prefs.json");
    Log::setSink(std::make_shared<NullLogSink>());
    Preferences::standard().setString(keys::pref_aziendaAttiva, "01");
    Preferences::standard().setString(keys::pref_FOTOURL, "http://127.0.0.1:1/foto");  // nobody listens there

    auto db = Database::openFile(root + "/store.sqllite", "01");
    if (!db) return 1;
    auto start = Clock::now();
    auto listino = *db->createListinoWithBarCode("L01");
    listino.setDescrizione(std::string("Listino grande"));
    for (int i = 1; i <= kArticles; ++i) {
        const std::string codice = format("ART%06d", static_cast<long long>(i));
        db->createArticoloWithBarCode(format("80%08d", static_cast<long long>(i)),
                                      {{"codice", codice}, {"descrizione1", "Tessuto " + codice}, {"fotoUrl", codice + ".jpg"}});
        db->createArticoloListinoWithArticolo(codice, listino);
    }
    db->commit();
    std::printf("store: %d articles in one price list written in %.2f s\n", kArticles, secondsSince(start));

    script::ScriptUi ui([](const std::string&) {});
    auto root_screen = std::make_shared<ui::Screen>(ui);
    ui.showTabs({{"SCELTA", "", root_screen}});
    long long rowsRead = 0;
    auto readScreenful = [&](const ElencoArticoliViewController& list) {
        const int rows = std::min(list.numberOfRows(0), kScreenful);
        for (int r = 0; r < rows; ++r) rowsRead += static_cast<long long>(list.rowAt(0, r).items.size() > 0);
        ui.settle();
    };

    Samples opening, keystroke;
    std::size_t matched = 0;
    for (int run = 0; run < 15; ++run) {
        FotoCache::shared().dimentica();
        std::shared_ptr<ElencoArticoliViewController> list;
        opening.time([&] {
            list = std::make_shared<ElencoArticoliViewController>(ui, listino, nullptr, db);
            ui.push(*root_screen, list);
            readScreenful(*list);
        });
        if (list->numberOfRows(0) != kArticles) {
            std::printf("the list shows %d articles, not %d\n", list->numberOfRows(0), kArticles);
            return 1;
        }
        for (const char* text : {"1", "12", "123", "1234"}) {
            keystroke.time([&] {
                list->searchTextChanged(text);
                readScreenful(*list);
            });
            matched += list->articoli().size();
        }
        ui.pop(*list);
    }
    opening.print("open the list (fetch + a screenful of rows)");
    keystroke.print("search keystroke (fetch + a screenful)");
    std::printf("rows read: %lld; articles matched over all keystrokes: %zu\n", rowsRead, matched);
    std::printf("targets: median < 50000 us each\n");
    std::filesystem::remove_all(root);
    return 0;
}
