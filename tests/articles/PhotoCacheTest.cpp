// The photo folder against a photo server on loopback: names, one download per photo, only
// pictures kept, failed locations not asked again, the forced download, the viewer.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "articles/ArticoloImageViewController.h"
#include "articles/FotoCache.h"
#include "loader/LoaderTestSupport.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "store/Database.h"
#include "store/StoreFixture.h"
#include "support/FakeUi.h"
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

struct PhotoCache : StoreFixture {
    PhotoServer server;
    FakeUi ui;
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
    Articolo articolo(const std::string& codice, const std::string& fotoUrl) {
        auto a = *db->createArticoloWithBarCode(codice);
        a.setCodice(codice);
        a.setFotoUrl(fotoUrl);
        return a;
    }
};

}  // namespace

TEST(FotoCacheKeys, CodesBecomeFileNamesInsideTheFolder) {
    EXPECT_EQ(FotoCache::chiave("AB 12"), "AB_12");
    EXPECT_EQ(FotoCache::chiave("ART-1.2_x"), "ART-1.2_x") << "plain codes keep their names";
    EXPECT_EQ(FotoCache::chiave("../../etc"), "_.._.._etc");
    EXPECT_EQ(FotoCache::chiave("A/B"), "A_B");
    EXPECT_EQ(FotoCache::chiave(""), "_");
    EXPECT_EQ(FotoCache::remoteLocation("http://altro/x.jpg"), "http://altro/x.jpg");
}

TEST_F(PhotoCache, APhotoIsDownloadedOnceKeptOnlyWhenItIsAPictureAndAFailureIsNotAskedAgain) {
    auto ab = articolo("AB 12", "ab12.jpg");
    int arrivals = 0;
    EXPECT_FALSE(FotoCache::shared().miniatura(ui, ab, [&] { ++arrivals; })) << "the substitute shows meanwhile";
    ui.drainMain();
    EXPECT_EQ(arrivals, 1);
    const std::string file = FotoCache::folderFor("01") + "/AB_12-SMALL.jpeg";
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(FotoCache::shared().miniatura(ui, ab, {}), file);
    EXPECT_EQ(server.asked("/foto/ab12.jpg"), 1);

    for (const char* location : {"rotta.jpg", "manca.jpg"}) {
        auto broken = articolo(std::string("X") + location, location);
        EXPECT_FALSE(FotoCache::shared().miniatura(ui, broken, {}));
        ui.drainMain();
        EXPECT_FALSE(FotoCache::shared().miniatura(ui, broken, {}));
        ui.drainMain();
        EXPECT_EQ(server.asked(std::string("/foto/") + location), 1) << "a failed location is not asked again";
        EXPECT_FALSE(std::filesystem::exists(FotoCache::folderFor("01") + "/X" + FotoCache::chiave(location) + "-SMALL.jpeg"))
            << "an error page is never kept as the photo";
    }

    // Forced: the file of an earlier session is fetched again, once.
    FotoCache::shared().dimentica();
    Preferences::standard().setBool(keys::pref_forzaDownloadFotoEnabled, true);
    EXPECT_FALSE(FotoCache::shared().miniatura(ui, ab, {}));
    ui.drainMain();
    EXPECT_EQ(FotoCache::shared().miniatura(ui, ab, {}), file);
    EXPECT_EQ(server.asked("/foto/ab12.jpg"), 2);
    auto senza = articolo("SENZA", "");
    FotoCache::shared().miniatura(ui, senza, {});
    ui.drainMain();
    EXPECT_EQ(server.asked("/foto/SENZA-SMALL.JPG"), 1) << "forced, an article without a photo asks for its code's";
}

TEST_F(PhotoCache, TheViewerShowsTheFullPhotoZoomedAndClamped) {
    auto ab = articolo("AB 12", "ab12.jpg");
    ab.setFotoUrlZoom(server.base() + "/grande/ab12.jpg");
    ui.showTabs({{"SCELTA", "", std::make_shared<ui::Screen>(ui)}});
    auto viewer = std::make_shared<ArticoloImageViewController>(ui, ab);
    ui.push(*ui.visible(), viewer);
    EXPECT_DOUBLE_EQ(viewer->zoom(), 1.3);
    ui.drainMain();
    ASSERT_TRUE(viewer->fotoArticolo());
    EXPECT_EQ(viewer->dimensioni(), (std::pair<int, int>(40, 30)));
    EXPECT_EQ(server.asked("/grande/ab12.jpg"), 1) << "an absolute location is used as it is";
    viewer->setZoom(20);
    EXPECT_DOUBLE_EQ(viewer->zoom(), 9);
    viewer->setZoom(0.2);
    EXPECT_DOUBLE_EQ(viewer->zoom(), 1);
}
