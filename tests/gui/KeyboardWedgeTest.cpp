// A scanner in keyboard mode in the real window: a fast burst ended by Enter reaches order
// entry as a sled scan and none of its keys lands in the focused note; slow typing, and a
// burst no screen takes, arrive in the field as typed; a Shift inside a burst does not break it;
// a click right after fast typing does not carry the keys off to the field clicked.
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "KeyboardWedge.h"
#include "MainWindow.h"
#include "QtUi.h"
#include "TableScreenWidget.h"
#include "order/InserimentoSceltaViewController.h"
#include "order/SceltaTableContent.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "session/CompanySession.h"
#include "store/Database.h"

using namespace torvane;

namespace {
void typeKeys(QWidget* widget, const QString& text, int delayMs) {
    for (QChar c : text) QTest::keyClick(widget, c.toLatin1(), Qt::NoModifier, delayMs);
}
}  // namespace

class KeyboardWedgeTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(folder_.isValid());
        Paths::setRoot(folder_.path().toStdString());
        Preferences::resetStandard(folder_.filePath("prefs.json").toStdString());
        Log::useCapture();
        Preferences::standard().setString(keys::pref_TIPOORDINE, "N");
        Preferences::standard().setString(keys::pref_aziendaAttiva, "01");
        db_ = Database::openFile(folder_.filePath("store.sqllite").toStdString(), "T");
        QVERIFY(db_);
        auto listino = *db_->createListinoWithBarCode("L01", {{"descrizione", "Listino uno"}});
        db_->createClienteWithBarCode("C001", {{"codice", "C001"}, {"listino", "L01"}});
        db_->createArticoloWithBarCode("100001", {{"codice", "ART1"}});
        db_->createArticoloListinoWithArticolo("ART1", listino);
        db_->commit();
    }
    void cleanup() {
        db_.reset();
        Database::releaseDatabase();
    }

    void aFastBurstIsAScanAndSlowTypingStaysInTheField() {
        gui::QtUi ui;
        // A wide interval, so a busy test machine does not split the burst.
        gui::KeyboardWedge wedge({.enabled = true, .maxIntervalMs = 100, .minLength = 4});
        qApp->installEventFilter(&wedge);
        auto screen = std::make_shared<InserimentoSceltaViewController>(ui, CompanySession::over(db_));
        ui.showTabs({{"SCELTA", "", screen}});
        ui.window().show();
        ui.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&ui.window()));
        screen->impostaCliente(std::string("C001"));
        QApplication::processEvents();
        auto* widget = qobject_cast<gui::TableScreenWidget*>(ui.window().widgetFor(*screen));
        QVERIFY(widget);
        auto field = [&] {
            return widget->findChild<QLineEdit*>(QString("field:%1").arg(SceltaTableContent::SezioneNota));
        };
        QVERIFY(field() && field()->isEnabled());
        field()->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return field()->hasFocus(); }));

        typeKeys(field(), "100001", 2);
        QTest::keyClick(field(), Qt::Key_Return, Qt::NoModifier, 2);
        QVERIFY(QTest::qWaitFor([&] { return screen->scelta().articoloCorrente.has_value(); }));
        QVERIFY(Log::capture()->contains("Letto Barcode: 100001"));  // the sled's road, not the field's
        QApplication::processEvents();
        QVERIFY(field());
        QVERIFY(!field()->text().contains("100001"));

        // A person, 250 ms between keys: every key in the field, no scan.
        Log::capture()->clear();
        field()->setFocus();
        typeKeys(field(), "Nota", 250);
        QTest::qWait(150);
        QCOMPARE(field()->text(), QString("Nota"));
        QVERIFY(!Log::capture()->contains("Letto Barcode: Nota"));
        qApp->removeEventFilter(&wedge);
        // The window then closes with the note still being typed: the note reaches its screen
        // while the window is whole.
    }

    void aBurstNoScreenTakesIsTypedAfterAll() {
        QLineEdit edit;
        int enters = 0;
        connect(&edit, &QLineEdit::returnPressed, [&] { ++enters; });
        std::vector<std::string> offered;
        gui::KeyboardWedge wedge({}, [&](const std::string& code) {
            offered.push_back(code);
            return false;
        });
        qApp->installEventFilter(&wedge);
        edit.show();
        edit.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&edit));
        edit.setFocus();
        typeKeys(&edit, "800", 1);
        QTest::keyClick(&edit, Qt::Key_Shift, Qt::NoModifier, 1);  // as for a capital letter
        typeKeys(&edit, "12", 1);
        QTest::keyClick(&edit, Qt::Key_Return, Qt::NoModifier, 1);
        QVERIFY(QTest::qWaitFor([&] { return enters == 1; }));
        QCOMPARE(edit.text(), QString("80012"));
        QCOMPARE(offered, std::vector<std::string>{"80012"});
        qApp->removeEventFilter(&wedge);
    }

    void aClickGivesTheHeldKeysToTheFieldTheyWereTypedIn() {
        QWidget window;
        auto* typed = new QLineEdit(&window);
        auto* clicked = new QLineEdit(&window);
        clicked->move(0, 40);
        gui::KeyboardWedge wedge({.enabled = true, .maxIntervalMs = 1000, .minLength = 4}, [](const std::string&) {
            return true;
        });
        qApp->installEventFilter(&wedge);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        typed->setFocus();
        typeKeys(typed, "ab", 1);
        QCOMPARE(typed->text(), QString());  // held: it may still become a scan
        QTest::mouseClick(clicked, Qt::LeftButton);
        QCOMPARE(typed->text(), QString("ab"));
        QCOMPARE(clicked->text(), QString());
        qApp->removeEventFilter(&wedge);
    }

private:
    QTemporaryDir folder_;
    std::shared_ptr<Database> db_;
};

QTEST_MAIN(KeyboardWedgeTest)
#include "KeyboardWedgeTest.moc"
