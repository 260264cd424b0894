// The order review in the window: its rows drawn by the Qt renderer, the notes typed into the
// editor kept as they are typed, and the send button's title.
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "MainWindow.h"
#include "QtUi.h"
#include "ScreenTableView.h"
#include "TableScreenWidget.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "review/RivediSceltaViewController.h"
#include "session/CompanySession.h"
#include "store/Database.h"

using namespace torvane;

class ReviewScreenTest : public QObject {
    Q_OBJECT
private slots:
    void theReviewIsDrawnAndTheNotesAreKeptAsTyped() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        Paths::setRoot(folder.path().toStdString());
        Preferences::resetStandard(folder.filePath("prefs.json").toStdString());
        Log::useCapture();
        Preferences& preferences = Preferences::standard();
        for (auto key : {keys::pref_NOTEENABLED, keys::pref_FIRMAENABLED, keys::pref_PRIORITAENABLED,
                         keys::pref_CAMBIOAGENTEENABLED})
            preferences.setBool(key, true);
        auto db = Database::openFile(folder.filePath("store.sqllite").toStdString(), "T");
        QVERIFY(db);
        db->createListinoWithBarCode("L01", {{"um", std::string("MT")}, {"divisa", std::string("EUR")}});
        db->createClienteWithBarCode("C001", {{"codice", std::string("C001")}, {"ragioneSociale1", std::string("Rossi Tessuti")},
                                              {"pagamento", std::string("RB60")}});
        auto testata = *db->createSceltaTestataWithCodice(3, {{"cliente", std::string("C001")}, {"listinoTestata", std::string("L01")},
                                                              {"status", 0LL}});
        db->createSceltaRigaForSceltaTestata(testata, {{"articolo", std::string("ART1")}, {"colore", std::string("001")},
                                                       {"quantita", 12.5}, {"prezzo", std::string("8.40")}});
        auto taglie = *db->createSceltaRigaForSceltaTestata(testata, {{"articolo", std::string("MAGLIA")}, {"colore", std::string("010")},
                                                                      {"quantita", 12.0}, {"prezzo", std::string("120.00")}});
        for (const char* taglia : {"S", "M", "L"})
            db->createSceltaTagliaWithTaglia(taglia, taglie, {{"quantita", 4LL}, {"prezzo", std::string("10.00")}});
        db->commit();

        gui::QtUi ui;
        auto root = std::make_shared<ui::Screen>(ui);
        ui.showTabs({{"SCELTA", "", root}});
        auto review = std::make_shared<RivediSceltaViewController>(ui, 3, CompanySession::over(db));
        ui.push(*root, review);
        ui.window().resize(1024, 768);
        ui.window().show();
        QApplication::processEvents();
        auto* widget = dynamic_cast<gui::TableScreenWidget*>(ui.window().widgetFor(*review));
        QVERIFY(widget);

        auto* note = widget->findChild<QPlainTextEdit*>(QString("field:%1").arg(RivediSceltaViewController::kTagNote));
        QVERIFY(note);
        note->setFocus();
        QTest::keyClicks(note, "Consegna a marzo");
        QApplication::processEvents();
        db->rollback();  // what was committed only
        QCOMPARE(db->fetchSceltaTestataByCodice(3)->note().value_or(""), std::string("Consegna a marzo"));

        const char* out = std::getenv("TORVANE_SCREENSHOT_DIR");
        if (out) ui.window().grab().save(QString(out) + "/rivedi.png");

        // The buttons at the end, scrolled into view.
        ui.scrollTo(*review, {2 + RivediSceltaViewController::kSospendi, 0}, ui::ScrollPosition::Bottom);
        QApplication::processEvents();
        auto* invia = widget->findChild<QPushButton*>("button:invia");
        QVERIFY(invia);
        QCOMPARE(invia->text(), QString("Invia Ordine"));
        if (out) ui.window().grab().save(QString(out) + "/rivedi-fine.png");
    }
};

QTEST_MAIN(ReviewScreenTest)
#include "ReviewScreenTest.moc"
