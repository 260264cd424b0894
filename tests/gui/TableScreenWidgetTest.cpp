#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "AlertDialog.h"
#include "MainWindow.h"
#include "QtUi.h"
#include "TableScreenWidget.h"
#include "platform/ui/Screen.h"

using namespace torvane;

namespace {

// A screen with one of each kind of row that writes down what it receives.
class SampleScreen : public ui::Screen {
public:
    explicit SampleScreen(ui::Ui& ui) : Screen(ui) { setTitle("Prova"); }

    std::vector<ui::Section> sections() const override {
        ui::Section clients{"Clienti", "2 clienti", {}};
        clients.rows.push_back(ui::Row::labels({"C001", "Rossi & Figli"}, ui::Accessory::Disclosure));
        clients.rows.push_back(ui::Row::labels({"C002", "Bianchi"}, ui::Accessory::DetailButton));
        ui::Section form{"Dati", "", {}};
        ui::Row row;
        ui::TextField field;
        field.tag = 10001;
        field.text = quantity;
        row.items.emplace_back(field);
        ui::Button button;
        button.action = "conferma";
        button.title = "Conferma";
        row.items.emplace_back(button);
        form.rows.push_back(row);
        return {clients, form};
    }
    std::vector<ui::NavigationButton> navigationButtons() const override {
        return {{"fine", "  Fine  ", ui::NavigationSide::Right, true}};
    }
    bool hasSearchBar() const override { return true; }

    void didSelectRow(int section, int row) override {
        journal.push_back("select " + std::to_string(section) + "," + std::to_string(row));
        ui().showAlert(ui::Alert::simple("Attenzione", "Cliente scelto", "OK"),
                       [this](const ui::AlertAnswer& answer) {
                           journal.push_back("answer " + std::to_string(answer.buttonIndex));
                       });
    }
    void accessoryTapped(int section, int row) override {
        journal.push_back("detail " + std::to_string(section) + "," + std::to_string(row));
    }
    bool shouldChangeCharacters(int tag, const std::string& text) override {
        return tag == 10001 && text.find_first_not_of("0123456789") == std::string::npos;
    }
    void textFieldDidEndEditing(int tag, const std::string& text) override {
        journal.push_back("end " + std::to_string(tag) + " " + text);
        quantity = text;
        redraw();
    }
    void buttonTapped(const std::string& action, ui::IndexPath where) override {
        journal.push_back("button " + action + " " + std::to_string(where.section));
    }
    void navigationButtonTapped(const std::string& action) override { journal.push_back("nav " + action); }
    void searchTextChanged(const std::string& text) override { journal.push_back("search " + text); }

    std::vector<std::string> journal;
    std::string quantity = "1";
};

gui::AlertDialog* openAlert() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<gui::AlertDialog*>(widget); dialog && dialog->isVisible()) return dialog;
    return nullptr;
}

}  // namespace

using gui::AlertDialog;

class TableScreenWidgetTest : public QObject {
    Q_OBJECT
private slots:
    void rendersTapsAndAnswers() {
        gui::QtUi ui;
        auto screen = std::make_shared<SampleScreen>(ui);
        ui.showTabs({{"SCELTA", "coat-hanger", screen}, {"Archivio", "database", nullptr},
                     {"IMPOSTAZIONI", "gear", nullptr}});
        ui.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&ui.window()));
        QCOMPARE(ui.window().tabs()->count(), 3);
        QCOMPARE(ui.window().tabs()->tabText(2), QString("IMPOSTAZIONI"));

        gui::TableScreenWidget* widget = ui.window().widgetFor(*screen);
        QVERIFY(widget);
        QTreeWidget* table = widget->table();
        QCOMPARE(table->topLevelItemCount(), 2);
        QCOMPARE(table->topLevelItem(0)->text(0), QString("Clienti"));
        QTreeWidgetItem* rossi = widget->itemAt({0, 0});
        QCOMPARE(rossi->text(1), QString("Rossi & Figli"));
        QCOMPARE(table->topLevelItem(0)->child(2)->text(0), QString("2 clienti"));  // the footer

        // Tap the row: the screen shows an alert; answer it.
        table->scrollToItem(rossi);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(rossi).center());
        QCOMPARE(screen->journal.at(0), std::string("select 0,0"));
        AlertDialog* alert = openAlert();
        QVERIFY(alert);
        QTest::mouseClick(alert->buttons().at(0), Qt::LeftButton);
        QCOMPARE(screen->journal.at(1), std::string("answer 0"));

        // The detail button, the row button, the navigation button, the search bar.
        QTest::mouseClick(table->findChild<QWidget*>("detail:0:1"), Qt::LeftButton);
        QTest::mouseClick(widget->findChild<QPushButton*>("button:conferma"), Qt::LeftButton);
        QTest::mouseClick(widget->findChild<QPushButton*>("nav:fine"), Qt::LeftButton);
        QTest::keyClicks(widget->searchBar(), "ro");
        QCOMPARE(screen->journal.at(2), std::string("detail 0,1"));
        QCOMPARE(screen->journal.at(3), std::string("button conferma 1"));
        QCOMPARE(screen->journal.at(4), std::string("nav fine"));
        QCOMPARE(screen->journal.at(6), std::string("search ro"));

        // The field refuses letters, reports its text when editing ends, and the redraw
        // shows what the screen kept.
        auto* field = widget->findChild<QLineEdit*>("field:10001");
        QVERIFY(field);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, "2x5");
        QCOMPARE(field->text(), QString("25"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(screen->journal.back(), std::string("end 10001 25"));
        QTRY_COMPARE(widget->findChild<QLineEdit*>("field:10001")->text(), QString("25"));
    }

    void pushShowsBackAndPopReturns() {
        gui::QtUi ui;
        auto root = std::make_shared<SampleScreen>(ui);
        ui.showTabs({{"SCELTA", "", root}});
        auto next = std::make_shared<SampleScreen>(ui);
        ui.push(*root, next);
        gui::TableScreenWidget* widget = ui.window().widgetFor(*next);
        QVERIFY(widget);
        auto* back = widget->findChild<QPushButton*>("back");
        QVERIFY(!back->isHidden());
        QTest::mouseClick(back, Qt::LeftButton);
        QVERIFY(ui.window().widgetFor(*next) == nullptr);
        QVERIFY(ui.window().widgetFor(*root) != nullptr);
    }
};

QTEST_MAIN(TableScreenWidgetTest)
#include "TableScreenWidgetTest.moc"
