// The photo viewer in the window: black, the picture fitted and zoomed by the screen's zoom.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <filesystem>

#include "MainWindow.h"
#include "PhotoScreenWidget.h"
#include "QtUi.h"
#include "articles/ArticoloImageViewController.h"
#include "platform/CompanyCode.h"
#include "photos/FotoCache.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "session/CompanySession.h"
#include "store/Database.h"

using namespace torvane;

class PhotoScreenWidgetTest : public QObject {
    Q_OBJECT
private slots:
    void thePhotoIsFittedThenZoomed() {
        const QString root = QDir::tempPath() + "/torvane-photo-test";
        QDir(root).removeRecursively();
        QDir().mkpath(root);
        Paths::setRoot(root.toStdString());
        Preferences::resetStandard((root + "/prefs.json").toStdString());
        Preferences::standard().setString(keys::pref_aziendaAttiva, "01");
        auto db = Database::openFile((root + "/store.sqllite").toStdString(), "01");
        QVERIFY(db);
        auto articolo = *db->createArticoloWithBarCode("ART1");
        articolo.setCodice(std::string("ART1"));
        const std::string folder = FotoCache::folderFor(*CompanyCode::from("01"));
        std::filesystem::create_directories(folder);
        QImage picture(400, 200, QImage::Format_RGB32);
        picture.fill(QColor(200, 40, 40));
        QVERIFY(picture.save(QString::fromStdString(folder + "/ART1-LARGE.jpeg"), "JPEG"));

        gui::QtUi ui;
        auto root_screen = std::make_shared<ui::Screen>(ui);
        ui.showTabs({{"SCELTA", "", root_screen}});
        ui.window().resize(800, 600);
        ui.window().show();
        auto viewer = std::make_shared<ArticoloImageViewController>(ui, articolo, CompanySession::over(db));
        ui.push(*root_screen, viewer);
        QApplication::processEvents();
        auto* widget = dynamic_cast<gui::PhotoScreenWidget*>(ui.window().widgetFor(*viewer));
        QVERIFY(widget);
        widget->refresh();
        QVERIFY(!widget->picture()->pixmap().isNull());
        const int shownAt13 = widget->picture()->pixmap().width();
        viewer->setZoom(2.6);
        widget->refresh();
        QVERIFY(widget->picture()->pixmap().width() > shownAt13 * 19 / 10);
        if (const char* out = std::getenv("TORVANE_SCREENSHOT_DIR")) ui.window().grab().save(QString(out) + "/photo.png");
        db.reset();
        QDir(root).removeRecursively();
    }
};

QTEST_MAIN(PhotoScreenWidgetTest)
#include "PhotoScreenWidgetTest.moc"
