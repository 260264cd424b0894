// The photo folder against photo servers on loopback: names, one download per photo, only
// pictures kept, failed locations not asked again, the forced download, a server that never
// answers, the article list's rows on screen, the viewer.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <filesystem>
#include <thread>

#include "articles/ArticoloImageViewController.h"
#include "articles/ElencoArticoliViewController.h"
#include "photos/FotoCache.h"
#include "loader/LoaderTestSupport.h"
#include "platform/CompanyCode.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "session/CompanySession.h"
#include "store/Database.h"
#include "store/StoreFixture.h"
#include "support/FakeUi.h"
#include "support/SilentServer.h"
#include "support/TestJpeg.h"

using namespace torvane;
using namespace torvane::test;

namespace {

// The photo server: pictures where the tests put them, an error page for "rotta", 404 elsewhere.
struct PhotoServer : DocumentServer {
    PhotoServer() {
        for (const char* path : {"/foto/ab12.jpg", "/grande/ab12.jpg"}) serve(path, testJpeg(40, 30));
        serve("/foto/rotta.jpg", "<html>errore</html>");
    }
    std::string base() const { return url(""); }
    long asked(const std::string& path) const {
        const auto all = requested();
        return std::count(all.begin(), all.end(), path);
    }
};

// Records the rows redrawn one by one, apart from whole redraws.
struct RowsUi : FakeUi {
    std::vector<std::vector<ui::IndexPath>> rowsRedrawn;
    void reloadRows(ui::Screen&, const std::vector<ui::IndexPath>& rows) override { rowsRedrawn.push_back(rows); }
};

struct PhotoCache : StoreFixture {
    PhotoServer server;
    RowsUi ui;
    void SetUp() override {
        StoreFixture::SetUp();
        FotoCache::shared().dimentica();
        Preferences::standard().setString(keys::pref_aziendaAttiva, "01");
        Preferences::standard().setString(keys::pref_FOTOURL, server.base() + "/foto");
    }
    void TearDown() override {
        FotoCache::shared().dimentica();
        StoreFixture::TearDown();
    }
    // Until every download asked for has ended, then what they posted is delivered.
    void attendi() {
        for (int i = 0; i < 2000 && (FotoCache::shared().inAttesa() || FotoCache::shared().inCorso()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ui.drainMain();
    }
    std::shared_ptr<FotoDestinatario> destinatario(int& arrivals) {
        return std::make_shared<FotoDestinatario>(ui, [&arrivals](const std::string&) { ++arrivals; });
    }
    Articolo articolo(const std::string& codice, const std::string& fotoUrl) {
        auto a = *db->createArticoloWithBarCode(codice);
        a.setCodice(codice);
        a.setFotoUrl(fotoUrl);
        return a;
    }
};

}  // namespace

TEST(FotoCacheKeys, CodesBecomeDistinctFileNamesInsideTheFolder) {
    EXPECT_EQ(FotoCache::chiave("AB 12"), "AB_12");
    EXPECT_EQ(FotoCache::chiave("ART-1.2"), "ART-1.2") << "plain codes keep their names";
    const std::vector<std::string> codes = {"AB 1", "AB_1", "AB/1", "AB%5F1", "AB%2F1", "../../etc", ".x", "",
                                            std::string(300, 'A') + "1", std::string(300, 'A') + "2"};
    std::set<std::string> keys;
    for (const std::string& code : codes) {
        const std::string key = FotoCache::chiave(code);
        keys.insert(key);
        EXPECT_EQ(key.find('/'), std::string::npos) << code;
        EXPECT_NE(key.rfind(".", 0), 0u) << code;
        EXPECT_LE(key.size(), 200u) << "a file name has at most 255 bytes";
    }
    EXPECT_EQ(keys.size(), codes.size()) << "no two codes share a photo";
}

TEST_F(PhotoCache, APhotoIsDownloadedOnceKeptOnlyWhenItIsAPictureAndAFailureIsNotAskedAgain) {
    auto ab = articolo("AB 12", "ab12.jpg");
    int arrivals = 0;
    auto to = destinatario(arrivals);
    FotoCache::shared().chiediMiniatura(*CompanyCode::from("01"), ab, to);
    FotoCache::shared().chiediMiniatura(*CompanyCode::from("01"), ab, to);
    attendi();
    EXPECT_EQ(arrivals, 1);
    const std::string file = FotoCache::folderFor(*CompanyCode::from("01")) + "/AB_12-SMALL.jpeg";
    EXPECT_EQ(FotoCache::fileMiniatura(*CompanyCode::from("01"), ab), file);
    EXPECT_TRUE(FotoCache::suDisco(file));
    FotoCache::shared().chiediMiniatura(*CompanyCode::from("01"), ab, to);
    attendi();
    EXPECT_EQ(server.asked("/foto/ab12.jpg"), 1) << "a photo on disk is not asked again";

    for (const char* location : {"rotta.jpg", "manca.jpg"}) {
        auto broken = articolo(std::string("X") + location, location);
        for (int i = 0; i < 2; ++i) {
            FotoCache::shared().chiediMiniatura(*CompanyCode::from("01"), broken, to);
            attendi();
        }
        EXPECT_EQ(server.asked(std::string("/foto/") + location), 1) << "a failed location is not asked again";
        EXPECT_FALSE(FotoCache::suDisco(FotoCache::fileMiniatura(*CompanyCode::from("01"), broken))) << "an error page is never kept as the photo";
    }
    EXPECT_EQ(arrivals, 1);

    // Forced: every asking downloads again, but one file never twice at once.
    Preferences::standard().setBool(keys::pref_forzaDownloadFotoEnabled, true);
    for (int i = 0; i < 3; ++i) FotoCache::shared().chiediMiniatura(*CompanyCode::from("01"), ab, to);
    attendi();
    FotoCache::shared().chiediMiniatura(*CompanyCode::from("01"), ab, to);
    attendi();
    EXPECT_EQ(server.asked("/foto/ab12.jpg"), 3);
    FotoCache::shared().chiediMiniatura(*CompanyCode::from("01"), articolo("SENZA", ""), to);
    attendi();
    EXPECT_EQ(server.asked("/foto/SENZA-SMALL.JPG"), 1) << "forced, an article without a photo asks for its code's";
}

TEST_F(PhotoCache, TheListAsksOnlyForRowsOnScreenAndRedrawsOnlyTheRowAPhotoArrivesFor) {
    auto listino = *db->createListinoWithBarCode("L1");
    for (int i = 0; i < 30; ++i) {
        const std::string codice = "ART" + std::to_string(100 + i);
        server.serve("/foto/" + codice + ".jpg", testJpeg(8, 8));
        articolo(codice, codice + ".jpg");
        db->createArticoloListinoWithArticolo(codice, listino);
    }
    auto entry = std::make_shared<ui::Screen>(ui);
    ui.showTabs({{"SCELTA", "", entry}});
    auto list = std::make_shared<ElencoArticoliViewController>(ui, listino, [](const Articolo&) {}, CompanySession::over(db));
    ui.push(*entry, list);
    for (int row = 0; row < 30; ++row) list->rowAt(0, row);
    attendi();
    EXPECT_TRUE(server.requested().empty()) << "drawing a row starts no download";

    list->rowsShown({{0, 3}, {0, 4}});
    attendi();
    EXPECT_EQ(server.requested().size(), 2u);
    ASSERT_EQ(ui.rowsRedrawn.size(), 2u);
    for (const auto& rows : ui.rowsRedrawn) EXPECT_EQ(rows.size(), 1u) << "each arrival redraws its own row";
    EXPECT_EQ(std::get<ui::Image>(list->rowAt(0, 3).items.back()).path,
              FotoCache::folderFor(*CompanyCode::from(db->currentAzienda())) + "/ART103-SMALL.jpeg")
        << "the folder of the store's own company";
}

TEST_F(PhotoCache, AServerThatNeverAnswersHoldsNeitherTheListNorMoreThanAFewThreads) {
    SilentServer silent;
    Preferences::standard().setString(keys::pref_FOTOURL, silent.url());
    auto listino = *db->createListinoWithBarCode("L1");
    for (int i = 0; i < 12; ++i) {
        const std::string codice = "ART" + std::to_string(100 + i);
        articolo(codice, codice + ".jpg");
        db->createArticoloListinoWithArticolo(codice, listino);
    }
    auto entry = std::make_shared<ui::Screen>(ui);
    ui.showTabs({{"SCELTA", "", entry}});
    std::optional<std::string> chosen;
    auto list = std::make_shared<ElencoArticoliViewController>(
        ui, listino, [&](const Articolo& a) { chosen = a.codice(); }, CompanySession::over(db));
    ui.push(*entry, list);
    std::vector<ui::IndexPath> firstRows;
    for (int row = 0; row < 10; ++row) firstRows.push_back({0, row});
    list->rowsShown(firstRows);
    EXPECT_EQ(FotoCache::shared().inCorso() + FotoCache::shared().inAttesa(), 10);
    EXPECT_LE(FotoCache::shared().inCorso(), FotoCache::kMostDownloads);

    // Usable at once: searching and choosing while every download hangs.
    list->searchTextChanged("ART11");
    EXPECT_EQ(list->articoli().size(), 2u);
    EXPECT_EQ(FotoCache::shared().inAttesa(), 0) << "rows gone from the screen are not downloaded";
    list->rowsShown({{0, 0}, {0, 1}});
    list->didSelectRow(0, 1);
    EXPECT_EQ(chosen, "ART111");
}

TEST_F(PhotoCache, TheViewerShowsTheFullPhotoZoomedAndClamped) {
    auto ab = articolo("AB 12", "ab12.jpg");
    ab.setFotoUrlZoom(server.base() + "/grande/ab12.jpg");
    ui.showTabs({{"SCELTA", "", std::make_shared<ui::Screen>(ui)}});
    auto viewer = std::make_shared<ArticoloImageViewController>(ui, ab, CompanySession::over(db));
    ui.push(*ui.visible(), viewer);
    EXPECT_DOUBLE_EQ(viewer->zoom(), 1.3);
    attendi();
    ASSERT_TRUE(viewer->fotoArticolo());
    EXPECT_EQ(viewer->dimensioni(), (std::pair<int, int>(40, 30)));
    EXPECT_EQ(server.asked("/grande/ab12.jpg"), 1) << "an absolute location is used as it is";
    viewer->setZoom(20);
    EXPECT_DOUBLE_EQ(viewer->zoom(), 9);
    viewer->setZoom(0.2);
    EXPECT_DOUBLE_EQ(viewer->zoom(), 1);
}
