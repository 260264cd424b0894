// The article list of a price list of 20,000 articles, every article with a photo address:
//   opening and a search keystroke, each until a screenful of rows is read and told to the
//   list as on screen, with the photo server unreachable;
//   thumbnails arriving: the list scrolled a screenful at a time over its first 500 rows, each
//   thumbnail served by a photo server on loopback; each arrival's work on the main thread is
//   timed (the rows it redraws read again, as a renderer does) and the rows it redraws counted.
//   build/bench/ArticleList
#include <httplib.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

#include "BenchStats.h"
#include "NullLogSink.h"
#include "articles/ElencoArticoliViewController.h"
#include "platform/CompanyCode.h"
#include "photos/FotoCache.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "script/ScriptUi.h"
#include "session/CompanySession.h"
#include "store/Database.h"

using namespace torvane;
using namespace torvane::bench;

namespace {

// A 2 x 2 PNG: what the photo server answers.
const char kPng[] =
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x02\x08"
    "\x02\x00\x00\x00\xfd\xd4\x9a\x73\x00\x00\x00\x11\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf\xc0\x00\x44\x60"
    "\xe2\x3f\x03\x00\x1d\xf0\x03\xfd\xa0\x33\x09\x89\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";

// Times every task a download posts to the main thread (one per arrival) and counts the rows
// each redraws; the rows named are read again, as a renderer does.
class ArrivalUi : public script::ScriptUi {
public:
    using ScriptUi::ScriptUi;
    void postToMain(std::function<void()> task) override {
        ScriptUi::postToMain([this, task = std::move(task)] {
            rowsNow_ = 0;
            wholeNow_ = 0;
            arrivals.time(task);
            ++count;
            rowsRedrawn += rowsNow_;
            mostRows = std::max(mostRows, rowsNow_);
            wholeRedraws += wholeNow_;
        });
    }
    void reloadRows(ui::Screen& screen, const std::vector<ui::IndexPath>& rows) override {
        rowsNow_ += static_cast<long long>(rows.size());
        for (const ui::IndexPath& where : rows) (void)screen.rowAt(where.section, where.row);
    }
    void reload(ui::Screen& screen) override {
        ++wholeNow_;
        ScriptUi::reload(screen);
    }
    Samples arrivals;
    long long count = 0, rowsRedrawn = 0, mostRows = 0, wholeRedraws = 0;

private:
    long long rowsNow_ = 0, wholeNow_ = 0;
};

void waitForDownloads() {
    const auto limit = Clock::now() + std::chrono::seconds(60);
    while ((FotoCache::shared().inAttesa() || FotoCache::shared().inCorso()) && Clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

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
    auto readScreenful = [&](ElencoArticoliViewController& list) {
        const int rows = std::min(list.numberOfRows(0), kScreenful);
        std::vector<ui::IndexPath> shown;
        for (int r = 0; r < rows; ++r) {
            rowsRead += static_cast<long long>(list.rowAt(0, r).items.size() > 0);
            shown.push_back({0, r});
        }
        list.rowsShown(shown);
        ui.settle();
    };

    Samples opening, keystroke;
    std::size_t matched = 0;
    for (int run = 0; run < 15; ++run) {
        FotoCache::shared().dimentica();
        std::shared_ptr<ElencoArticoliViewController> list;
        opening.time([&] {
            list = std::make_shared<ElencoArticoliViewController>(ui, listino, nullptr, CompanySession::over(db));
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

    // Thumbnails arriving.
    constexpr int kArrivals = 500, kRowsOnScreen = 20;
    FotoCache::shared().dimentica();
    const std::string png(kPng, sizeof kPng - 1);
    std::atomic<int> served{0};
    httplib::Server server;
    server.Get(R"(/foto/.*)", [&](const httplib::Request&, httplib::Response& response) {
        ++served;
        response.set_content(png, "image/png");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { server.listen_after_bind(); });
    Preferences::standard().setString(keys::pref_FOTOURL, format("http://127.0.0.1:%d/foto", static_cast<long long>(port)));
    ArrivalUi arrivalUi([](const std::string&) {});
    auto arrivalRoot = std::make_shared<ui::Screen>(arrivalUi);
    arrivalUi.showTabs({{"SCELTA", "", arrivalRoot}});
    auto list = std::make_shared<ElencoArticoliViewController>(arrivalUi, listino, nullptr, CompanySession::over(db));
    arrivalUi.push(*arrivalRoot, list);
    arrivalUi.settle();
    for (int first = 0; first < kArrivals; first += kRowsOnScreen) {
        std::vector<ui::IndexPath> shown;
        for (int r = first; r < first + kRowsOnScreen; ++r) {
            (void)list->rowAt(0, r);
            shown.push_back({0, r});
        }
        list->rowsShown(shown);
        waitForDownloads();
        arrivalUi.settle();
    }
    server.stop();
    serving.join();
    long long onDisk = 0;
    for (const auto& entry : std::filesystem::directory_iterator(FotoCache::folderFor(*CompanyCode::from("01"))))
        onDisk += entry.path().string().ends_with("-SMALL.jpeg");
    arrivalUi.arrivals.print("thumbnail arrival (redraw of its rows)");
    std::printf("arrivals: %lld, photos served %d, on disk %lld; rows redrawn %lld (at most %lld per arrival), whole "
                "redraws %lld\ntargets: one row per arrival, p99 < 2000 us\n",
                arrivalUi.count, served.load(), onDisk, arrivalUi.rowsRedrawn, arrivalUi.mostRows, arrivalUi.wholeRedraws);
    list.reset();
    std::filesystem::remove_all(root);
    const bool worked = arrivalUi.count == kArrivals && served == kArrivals && onDisk == kArrivals &&
                        arrivalUi.rowsRedrawn == kArrivals && arrivalUi.mostRows == 1 && arrivalUi.wholeRedraws == 0;
    if (!worked) std::printf("FAILED: not every thumbnail arrived once and redrew its own row alone\n");
    return worked ? 0 : 1;
}
