// The order-entry screen in the Qt renderer: with a client, price list, article and colour
// chosen, what the table shows row by row.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "MainWindow.h"
#include "QtUi.h"
#include "RowWidget.h"
#include "RowWidgetLayer.h"
#include "ScreenTableModel.h"
#include "ScreenTableView.h"
#include "TableScreenWidget.h"
#include "order/InserimentoSceltaViewController.h"
#include "order/SceltaTableContent.h"
#include "platform/Decimal.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "store/Database.h"

using namespace torvane;

namespace {

std::vector<std::string> labelsOf(const ui::Row& row) {
    std::vector<std::string> texts;
    for (const ui::Item& item : row.items)
        if (const auto* label = std::get_if<ui::Label>(&item)) texts.push_back(label->text);
    return texts;
}

}  // namespace

class OrderEntryRowsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(folder_.isValid());
        Paths::setRoot(folder_.path().toStdString());
        Preferences::resetStandard(folder_.filePath("prefs.json").toStdString());
        Log::useCapture();
        Preferences& preferences = Preferences::standard();
        preferences.setString(keys::pref_TIPOORDINE, "N");
        preferences.setString(keys::pref_aziendaAttiva, "01");
        preferences.setString(keys::pref_agente, "A1;");
        db_ = Database::openFile(folder_.filePath("store.sqllite").toStdString(), "T");
        QVERIFY(db_);

        // Price list L01 in euro, client C001 on it, article ART1 with colour 001 of variant V1
        // priced 12.50.
        auto listino = *db_->createListinoWithBarCode("L01");
        listino.setDescrizione(std::string("Listino uno"));
        listino.setDivisa(std::string("EUR"));
        db_->createVarianteCommercialeWithCodice("V1")->setDescrizioneITA(std::string("Tinta unita"));
        auto cliente = *db_->createClienteWithBarCode("C001");
        cliente.setCodice(std::string("C001"));
        cliente.setRagioneSociale1(std::string("Rossi Tessuti"));
        cliente.setListino(std::string("L01"));
        auto articolo = *db_->createArticoloWithBarCode("100001");
        articolo.setCodice(std::string("ART1"));
        auto colore = *db_->createColoreWithBarCode("10000", articolo);
        colore.setCodice(std::string("001"));
        colore.setVarianteCommerciale(std::string("V1"));
        auto riga = *db_->createArticoloListinoWithArticolo("ART1", listino);
        db_->createPrezzoWithVarianteCommerciale("V1", riga)->setValore(Decimal::parse("12.50"));
        db_->commit();
    }
    void cleanup() {
        db_.reset();
        Database::releaseDatabase();
    }

    void showsTheComposedLine() {
        gui::QtUi ui;
        auto screen = std::make_shared<InserimentoSceltaViewController>(ui, db_);
        ui.showTabs({{"SCELTA", "", screen}});
        ui.window().resize(800, 900);
        ui.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&ui.window()));
        screen->impostaCliente(std::string("C001"));
        screen->barcodeData("100001", 0);
        screen->barcodeData("10000", 0);
        QApplication::processEvents();
        QVERIFY(screen->scelta().coloreCorrente);

        auto* widget = qobject_cast<gui::TableScreenWidget*>(ui.window().widgetFor(*screen));
        QVERIFY(widget);
        widget->table()->viewport()->grab();
        gui::ScreenTableModel& model = widget->table()->screenModel();
        QCOMPARE(model.sectionCount(), 7);
        // The article's section: its field, then the price of the colour's variant.
        QCOMPARE(model.rowCountIn(SceltaTableContent::SezioneArticolo), 2);

        const auto fieldText = [&](int tag) {
            auto* field = widget->findChild<QLineEdit*>(QString("field:%1").arg(tag));
            return field ? field->text() : QString("<none>");
        };
        QCOMPARE(fieldText(SceltaTableContent::SezioneCliente), QString("Rossi Tessuti"));
        QCOMPARE(fieldText(SceltaTableContent::SezioneListino), QString("Listino uno"));
        QCOMPARE(fieldText(SceltaTableContent::SezioneArticolo), QString("ART1"));
        QCOMPARE(fieldText(SceltaTableContent::SezioneColore), QString("001"));
        // The client is picked from the list, never typed.
        QVERIFY(!widget->findChild<QLineEdit*>(QString("field:%1").arg(SceltaTableContent::SezioneCliente))->isEnabled());

        // The price row is painted from labels alone: variant, its description, currency, price.
        const ui::IndexPath prezzo{SceltaTableContent::SezioneArticolo, 1};
        QCOMPARE(labelsOf(*model.row(prezzo)), (std::vector<std::string>{"V1", "Tinta unita", "EUR", "   12.50"}));
        QVERIFY(widget->rowWidgets()->widgetAt(prezzo) == nullptr);
        QVERIFY(widget->table()->rowRect(prezzo).height() > 0);

        // The confirmation row: its button and switch, 60 points high.
        const ui::IndexPath conferma{SceltaTableContent::SezioneConferma, 0};
        gui::RowWidget* riga = widget->rowWidgets()->widgetAt(conferma);
        QVERIFY(riga);
        auto* button = riga->findChild<QPushButton*>("button:confirmTapped");
        QVERIFY(button);
        QCOMPARE(button->text(), QString("Conferma"));
        QVERIFY(button->isVisible() && button->isEnabled());
        auto* automatico = riga->findChild<QCheckBox*>("switch:autoTCCSwitched");
        QVERIFY(automatico);
        QCOMPARE(automatico->text(), QString("Auto T+CC"));
        QCOMPARE(automatico->isChecked(), screen->scelta().autoTccSwitch);
        QCOMPARE(widget->table()->rowRect(conferma).height(), 60);
        QCOMPARE(riga->height(), 60);
        QCOMPARE(model.data(model.indexOf(conferma)).toString(), QString("R. 1"));
    }

private:
    QTemporaryDir folder_;
    std::shared_ptr<Database> db_;
};

QTEST_MAIN(OrderEntryRowsTest)
#include "OrderEntryRowsTest.moc"
