#include <QApplication>
#include <QBuffer>
#include <QLabel>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>
#include <set>

#include "AlertDialog.h"
#include "MainWindow.h"
#include "QtUi.h"
#include "RowDelegate.h"
#include "RowGeometry.h"
#include "RowWidget.h"
#include "RowWidgetLayer.h"
#include "ScreenTableModel.h"
#include "ScreenTableView.h"
#include "SectionIndexBar.h"
#include "TableScreenWidget.h"
#include "platform/ui/Screen.h"

using namespace torvane;

namespace {

ui::Label label(std::string text) {
    ui::Label made;
    made.text = std::move(text);
    return made;
}

ui::Button button(std::string action, std::string title, std::string pressedTitle = "") {
    ui::Button made;
    made.action = std::move(action);
    made.title = std::move(title);
    made.pressedTitle = std::move(pressedTitle);
    return made;
}

// A long list read lazily, counting what the renderer reads.
class LongScreen : public ui::Screen {
public:
    LongScreen(ui::Ui& ui, int rows) : Screen(ui), rows_(rows) {}

    int numberOfSections() const override { return 1; }
    int numberOfRows(int) const override { return rows_; }
    ui::SectionHeader sectionHeader(int) const override { return {"Clienti", ""}; }
    ui::Row rowAt(int section, int row) const override {
        read.insert(row);
        ++reads;
        const std::string suffix = row == changedRow ? " (nuovo)" : "";
        return ui::Row::labels({"C" + std::to_string(row), "Cliente " + std::to_string(row) + suffix});
        (void)section;
    }

    void setRows(int rows) {
        rows_ = rows;
        redraw();
    }
    void changeRow(int row) {
        changedRow = row;
        redrawRows({{0, row}});
    }
    void forget() {
        read.clear();
        reads = 0;
    }

    mutable std::set<int> read;
    mutable long long reads = 0;
    int changedRow = -1;

private:
    int rows_;
};

// A screen the tests fill row by row and redraw at will; it writes down what it receives.
class ScriptedScreen : public ui::Screen {
public:
    using Screen::redraw;
    using Screen::redrawRows;
    explicit ScriptedScreen(ui::Ui& ui) : Screen(ui) { setTitle("Prova"); }

    std::vector<ui::Section> sections() const override { return content; }
    std::vector<std::string> sectionIndexTitles() const override { return indexTitles; }
    std::vector<ui::NavigationButton> navigationButtons() const override { return navigation; }
    bool hasSearchBar() const override { return searchBar; }
    bool allowsMultipleSelection() const override { return multiple; }
    bool shouldChangeCharacters(int, const std::string& text) override {
        return text.find_first_not_of("0123456789") == std::string::npos;
    }
    void textFieldDidEndEditing(int tag, const std::string& text) override {
        journal.push_back("end " + std::to_string(tag) + " " + text);
    }
    void didSelectRow(int s, int r) override {
        journal.push_back("select " + std::to_string(s) + "," + std::to_string(r));
        if (alertOnSelect)
            ui().showAlert(ui::Alert::simple("Attenzione", "Cliente scelto", "OK"), [this](const ui::AlertAnswer& answer) {
                journal.push_back("answer " + std::to_string(answer.buttonIndex));
            });
    }
    void didDeselectRow(int s, int r) override {
        journal.push_back("deselect " + std::to_string(s) + "," + std::to_string(r));
    }
    void accessoryTapped(int s, int r) override { journal.push_back("detail " + std::to_string(s) + "," + std::to_string(r)); }
    void commitDeletion(int s, int r) override { journal.push_back("delete " + std::to_string(s) + "," + std::to_string(r)); }
    void sectionIndexTapped(int index) override { journal.push_back("index " + std::to_string(index)); }
    void buttonTapped(const std::string& action, ui::IndexPath where) override {
        journal.push_back("button " + action + " " + std::to_string(where.section));
    }
    void navigationButtonTapped(const std::string& action) override { journal.push_back("nav " + action); }
    void searchTextChanged(const std::string& text) override { journal.push_back("search " + text); }

    std::vector<ui::Section> content;
    std::vector<std::string> indexTitles;
    std::vector<ui::NavigationButton> navigation;
    std::vector<std::string> journal;
    bool multiple = false, searchBar = false, alertOnSelect = false;
};

ui::TextField quantityField(std::string text) {
    ui::TextField field;
    field.tag = 7;
    field.text = std::move(text);
    field.keyboard = ui::Keyboard::Number;
    return field;
}

// The order-entry shape: a line of the order, then the quantity row with its field.
std::vector<ui::Section> orderContent(std::vector<std::string> lines, std::string quantity) {
    ui::Section section{"Riga", "", {}};
    for (const std::string& line : lines) section.rows.push_back(ui::Row::labels({line, "Descrizione"}));
    ui::Row row;
    row.items = {label("Q.tà"), quantityField(std::move(quantity)), button("tcc", "T+CC")};
    section.rows.push_back(row);
    return {section};
}

gui::AlertDialog* openAlert() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<gui::AlertDialog*>(widget); dialog && dialog->isVisible()) return dialog;
    return nullptr;
}

// The shown widget of a screen in a window of a known size.
gui::TableScreenWidget* show(gui::QtUi& ui, std::shared_ptr<ui::Screen> screen) {
    ui.showTabs({{"SCELTA", "", screen}});
    ui.window().resize(800, 600);
    ui.window().show();
    if (!QTest::qWaitForWindowExposed(&ui.window())) return nullptr;
    QApplication::processEvents();
    return static_cast<gui::TableScreenWidget*>(ui.window().widgetFor(*screen));
}

QPoint centreOf(gui::TableScreenWidget* widget, ui::IndexPath where) {
    return widget->table()->rowRect(where).center();
}

void click(gui::TableScreenWidget* widget, QPoint at) {
    QTest::mouseClick(widget->table()->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class TableScreenWidgetTest : public QObject {
    Q_OBJECT
private slots:
    void rendersTapsAndAnswers() {
        gui::QtUi ui;
        auto screen = std::make_shared<ScriptedScreen>(ui);
        ui::Section clients{"Clienti", "2 clienti", {}};
        clients.rows.push_back(ui::Row::labels({"C001", "Rossi & Figli"}, ui::Accessory::Disclosure));
        clients.rows.push_back(ui::Row::labels({"C002", "Bianchi"}, ui::Accessory::DetailButton));
        ui::TextField field = quantityField("1");
        field.tag = 10001;
        ui::Row form;
        form.items = {field, button("conferma", "Conferma")};
        screen->content = {clients, ui::Section{"Dati", "", {form}}};
        screen->navigation = {{"fine", "  Fine  ", ui::NavigationSide::Right, true}};
        screen->searchBar = screen->alertOnSelect = true;
        ui.showTabs({{"SCELTA", "coat-hanger", screen}, {"Archivio", "database", nullptr},
                     {"IMPOSTAZIONI", "gear", nullptr}});
        ui.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&ui.window()));
        QCOMPARE(ui.window().tabs()->count(), 3);
        QCOMPARE(ui.window().tabs()->tabText(2), QString("IMPOSTAZIONI"));

        auto* widget = qobject_cast<gui::TableScreenWidget*>(ui.window().widgetFor(*screen));
        QVERIFY(widget);
        gui::ScreenTableModel& model = widget->table()->screenModel();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.sectionIndex(0)).toString(), QString("Clienti"));
        QCOMPARE(model.data(model.indexOf({0, 0})).toString(), QString("C001 Rossi & Figli"));
        QCOMPARE(model.data(model.index(2, 0, model.sectionIndex(0))).toString(), QString("2 clienti"));

        // Tap the row: the screen shows an alert; answer it.
        click(widget, centreOf(widget, {0, 0}));
        QCOMPARE(screen->journal.at(0), std::string("select 0,0"));
        gui::AlertDialog* alert = openAlert();
        QVERIFY(alert);
        QTest::mouseClick(alert->buttons().at(0), Qt::LeftButton);
        QCOMPARE(screen->journal.at(1), std::string("answer 0"));

        // The detail button, the row button, the navigation button, the search bar.
        const auto detail = gui::RowGeometry::of(widget->table()->rowRect({0, 1}), ui::Row::labels({}, ui::Accessory::DetailButton), false);
        click(widget, detail.detailButton.center());
        QTest::mouseClick(widget->findChild<QPushButton*>("button:conferma"), Qt::LeftButton);
        QTest::mouseClick(widget->findChild<QPushButton*>("nav:fine"), Qt::LeftButton);
        QTest::keyClicks(widget->searchBar(), "ro");
        QCOMPARE(screen->journal.at(2), std::string("detail 0,1"));
        QCOMPARE(screen->journal.at(3), std::string("button conferma 1"));
        QCOMPARE(screen->journal.at(4), std::string("nav fine"));
        QCOMPARE(screen->journal.at(6), std::string("search ro"));

        // The field refuses letters and reports its text when editing ends.
        auto* edit = widget->findChild<QLineEdit*>("field:10001");
        QVERIFY(edit);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "2x5");
        QCOMPARE(edit->text(), QString("25"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(screen->journal.back(), std::string("end 10001 25"));
    }

    void pushShowsBackAndPopReturns() {
        gui::QtUi ui;
        auto root = std::make_shared<ScriptedScreen>(ui);
        ui.showTabs({{"SCELTA", "", root}});
        auto next = std::make_shared<ScriptedScreen>(ui);
        ui.push(*root, next);
        gui::ScreenWidget* widget = ui.window().widgetFor(*next);
        QVERIFY(widget);
        auto* back = widget->findChild<QPushButton*>("back");
        QVERIFY(!back->isHidden());
        QTest::mouseClick(back, Qt::LeftButton);
        QVERIFY(ui.window().widgetFor(*next) == nullptr);
        QVERIFY(ui.window().widgetFor(*root) != nullptr);
    }

    void longListReadsOnlyWhatItDraws() {
        gui::QtUi ui;
        auto screen = std::make_shared<LongScreen>(ui, 50000);
        gui::TableScreenWidget* widget = show(ui, screen);
        QVERIFY(widget);
        widget->table()->viewport()->grab();
        gui::ScreenTableModel& model = widget->table()->screenModel();
        QCOMPARE(model.rowCount(model.sectionIndex(0)), 50000);
        QVERIFY(widget->table()->rowDelegate().paintedRows() > 10);
        // A screenful at the top and one at the bottom (for the scroll range), not 50,000.
        QVERIFY2(screen->read.size() < 150, qPrintable(QString::number(screen->read.size())));
        QVERIFY2(screen->reads < 300, qPrintable(QString::number(screen->reads)));

        // A search narrows the list and widens it again.
        screen->forget();
        screen->setRows(500);
        QApplication::processEvents();
        widget->table()->viewport()->grab();
        QCOMPARE(model.rowCount(model.sectionIndex(0)), 500);
        screen->setRows(50000);
        QApplication::processEvents();
        widget->table()->viewport()->grab();
        QCOMPARE(model.rowCount(model.sectionIndex(0)), 50000);
        QVERIFY2(screen->reads < 600, qPrintable(QString::number(screen->reads)));

        // Reloading one row reads that row if it is on screen, and no other, wherever it is.
        for (int row : {3, 40000}) {
            screen->forget();
            screen->changeRow(row);
            QApplication::processEvents();
            widget->table()->viewport()->grab();
            QVERIFY(row != 3 || screen->read.count(row));
            QVERIFY2(screen->read.size() <= 1, qPrintable(QString::number(screen->read.size())));
            QVERIFY(model.data(model.indexOf({0, row})).toString().endsWith("(nuovo)"));
        }
    }

    // An untitled first section has no height, which once made the wheel move the scroll bar
    // and leave the rows drawn where they were; a later partial repaint then mixed offsets.
    void wheelRedrawsTheRowsAtTheScrollBarsOffset() {
        gui::QtUi ui;
        auto screen = std::make_shared<ScriptedScreen>(ui);
        ui::Section clients{"", "", {}};
        for (int i = 0; i < 60; ++i) clients.rows.push_back(ui::Row::labels({"C" + std::to_string(i), "Cliente"}));
        ui::Row form;
        form.items = {label("Note"), quantityField("3")};
        clients.rows.push_back(form);
        screen->content = {clients};
        gui::TableScreenWidget* widget = show(ui, screen);
        QVERIFY(widget);
        gui::ScreenTableView* view = widget->table();
        QScrollBar* bar = view->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        for (int steps : {2, 200, -1}) {  // down, a storm past the foot, back up by one notch
            const long long painted = view->rowDelegate().paintedRows();
            const QPoint at = view->viewport()->rect().center();
            for (int i = 0; i < std::abs(steps); ++i) {
                QWheelEvent wheel(at, view->viewport()->mapToGlobal(at), {}, QPoint(0, steps > 0 ? -120 : 120),
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(view->viewport(), &wheel);
            }
            QTest::qWait(20);
            const auto shown = view->visibleItems();
            QVERIFY(!shown.empty());
            // The first item drawn is the one the scroll bar names (the untitled section is item 0)...
            QCOMPARE(view->screenModel().pathOf(shown.front().first).row, bar->value() - 1);
            QCOMPARE(shown.front().second.top(), 0);
            // ...and every row on screen was painted again at its new place.
            QVERIFY2(view->rowDelegate().paintedRows() - painted >= static_cast<long long>(shown.size()) - 1,
                     qPrintable(QString::number(view->rowDelegate().paintedRows() - painted)));
            if (steps == 200) QCOMPARE(bar->value(), bar->maximum());
        }
        QVERIFY(bar->value() < bar->maximum());
        bar->setValue(bar->maximum());
        // The field's widget lies over its row at the offset shown.
        gui::RowWidget* row = widget->rowWidgets()->widgetAt({0, 60});
        QVERIFY(row);
        QCOMPARE(row->geometry(), gui::RowGeometry::of(view->rowRect({0, 60}), form, false).content);
    }

    void typingSurvivesRedraws() {
        gui::QtUi ui;
        auto screen = std::make_shared<ScriptedScreen>(ui);
        screen->content = orderContent({"A1"}, "");
        gui::TableScreenWidget* widget = show(ui, screen);
        QVERIFY(widget);
        QVERIFY(QTest::qWaitForWindowActive(&ui.window()));
        auto* field = widget->findChild<QLineEdit*>("field:7");
        QVERIFY(field);
        field->setFocus();
        QTest::keyClicks(field, "12");
        field->setCursorPosition(1);

        // A scan arrives: a line is added above and the screen's quantity is empty again.
        screen->content = orderContent({"A1", "B2"}, "");
        screen->redraw();
        QApplication::processEvents();
        QCOMPARE(widget->findChild<QLineEdit*>("field:7"), field);
        QCOMPARE(field->text(), QString("12"));
        QCOMPARE(field->cursorPosition(), 1);
        QVERIFY(field->hasFocus());
        QCOMPARE(widget->rowWidgets()->widgetAt({0, 2})->field(7), static_cast<QWidget*>(field));

        // A redraw of the row alone leaves it too; a refused key keeps the text.
        screen->redrawRows({{0, 2}});
        QApplication::processEvents();
        QTest::keyClicks(field, "5x");
        QCOMPARE(field->text(), QString("152"));
        QVERIFY(screen->journal.empty());

        // Leaving the field gives the screen what was typed.
        widget->table()->setFocus();
        QCOMPARE(screen->journal, std::vector<std::string>{"end 7 152"});
        // Not being edited, the field shows the screen's text again at the next redraw.
        screen->redraw();
        QApplication::processEvents();
        QCOMPARE(widget->findChild<QLineEdit*>("field:7")->text(), QString(""));
    }

    void typedTextReachesTheScreenWhenItsRowGoes() {
        gui::QtUi ui;
        auto screen = std::make_shared<ScriptedScreen>(ui);
        screen->content = orderContent({}, "");
        gui::TableScreenWidget* widget = show(ui, screen);
        QVERIFY(QTest::qWaitForWindowActive(&ui.window()));
        auto* field = widget->findChild<QLineEdit*>("field:7");
        field->setFocus();
        QTest::keyClicks(field, "4");
        screen->content = {ui::Section{"Riga", "", {ui::Row::labels({"vuota"})}}};
        screen->redraw();
        QApplication::processEvents();
        QCOMPARE(screen->journal, std::vector<std::string>{"end 7 4"});
        QCOMPARE(widget->rowWidgets()->count(), 0);
    }

    void tabFollowsTheRowsFromFieldToFieldAndScrollsThemIn() {
        gui::QtUi ui;
        auto screen = std::make_shared<ScriptedScreen>(ui);
        auto field = [](int tag, bool enabled = true) {
            ui::TextField made;
            made.tag = tag;
            made.enabled = enabled;
            return made;
        };
        auto row = [](std::vector<ui::Item> items) {
            ui::Row made;
            made.items = std::move(items);
            return made;
        };
        // Fields at tags 1, then 2 and 3 side by side, a disabled one, then one 40 rows below.
        ui::Section form{"Modulo", "", {}};
        form.rows.push_back(row({label("Uno"), field(1)}));
        form.rows.push_back(row({field(2), field(3)}));
        form.rows.push_back(row({label("Spento"), field(4, false)}));
        for (int i = 0; i < 40; ++i) form.rows.push_back(ui::Row::labels({"riga " + std::to_string(i)}));
        form.rows.push_back(row({label("Ultimo"), field(5)}));
        screen->content = {form};
        gui::TableScreenWidget* widget = show(ui, screen);
        QVERIFY(widget && QTest::qWaitForWindowActive(&ui.window()));
        auto focusedTag = [&]() -> int {
            auto* focused = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            return focused ? focused->objectName().mid(6).toInt() : 0;
        };
        widget->findChild<QLineEdit*>("field:1")->setFocus();
        for (int expected : {2, 3, 5, 5}) {  // the last field keeps the focus
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focusedTag(), expected);
        }
        QVERIFY(widget->table()->viewport()->rect().contains(widget->table()->rowRect({0, 43})));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focusedTag(), 3);
        QVERIFY(widget->table()->viewport()->rect().contains(widget->table()->rowRect({0, 1})));
    }

    void footersHeightsAndUntitledSections() {
        gui::QtUi ui;
        auto screen = std::make_shared<ScriptedScreen>(ui);
        ui::Row tall = ui::Row::labels({"alta"});
        tall.height = 80;
        ui::Row tallControls;
        tallControls.items = {label("Colore"), quantityField("3")};
        tallControls.height = 70;
        screen->content = {ui::Section{"", "", {ui::Row::labels({"prima"})}},
                           ui::Section{"Totali", "Prezzi IVA esclusa", {ui::Row::labels({"normale"}), tall, tallControls}}};
        gui::TableScreenWidget* widget = show(ui, screen);
        gui::ScreenTableView* view = widget->table();
        gui::ScreenTableModel& model = view->screenModel();
        QCOMPARE(view->visualRect(model.sectionIndex(0)).height(), 0);
        QCOMPARE(view->rowRect({1, 1}).height(), 80);
        QVERIFY(view->rowRect({1, 0}).height() < 80);
        QCOMPARE(view->rowRect({1, 2}).height(), 70);
        QCOMPARE(widget->rowWidgets()->widgetAt({1, 2})->height(), 70);
        const QModelIndex footer = model.index(3, 0, model.sectionIndex(1));
        QCOMPARE(model.kindOf(footer), gui::ScreenTableModel::Kind::Footer);
        QCOMPARE(model.data(footer).toString(), QString("Prezzi IVA esclusa"));
        QVERIFY(view->visualRect(footer).top() >= view->rowRect({1, 2}).bottom());
        QVERIFY(!(model.flags(footer) & Qt::ItemIsSelectable));
    }

    void deletableRowsInEditMode() {
        gui::QtUi ui;
        auto screen = std::make_shared<ScriptedScreen>(ui);
        ui::Row line = ui::Row::labels({"riga 1"});
        line.deletable = true;
        screen->content = {ui::Section{"Righe", "", {line, ui::Row::labels({"fissa"})}}};
        gui::TableScreenWidget* widget = show(ui, screen);
        const QRect rect = widget->table()->rowRect({0, 0});
        const QPoint rightEdge(rect.right() - 20, rect.center().y());

        click(widget, rightEdge);  // not editing: a plain selection
        QCOMPARE(screen->journal, std::vector<std::string>{"select 0,0"});

        screen->setEditing(true);
        screen->redraw();
        QApplication::processEvents();
        const auto geometry = gui::RowGeometry::of(widget->table()->rowRect({0, 0}), line, true);
        QVERIFY(geometry.deleteButton.contains(rightEdge));
        click(widget, rightEdge);
        QCOMPARE(screen->journal.back(), std::string("delete 0,0"));
        click(widget, QPoint(rect.right() - 20, widget->table()->rowRect({0, 1}).center().y()));
        QCOMPARE(screen->journal.back(), std::string("select 0,1"));  // that row is not deletable

        widget->table()->setCurrentIndex(widget->table()->screenModel().indexOf({0, 0}));
        screen->journal.clear();
        QTest::keyClick(widget->table(), Qt::Key_Delete);
        widget->table()->setCurrentIndex(widget->table()->screenModel().indexOf({0, 1}));
        QTest::keyClick(widget->table(), Qt::Key_Delete);
        QCOMPARE(screen->journal, std::vector<std::string>{"delete 0,0"});
    }

    void sectionIndexScrollsToItsSection() {
        gui::QtUi ui;
        auto screen = std::make_shared<ScriptedScreen>(ui);
        for (const char* letter : {"A", "B", "C"}) {
            ui::Section section{letter, "", {}};
            for (int r = 0; r < 60; ++r) section.rows.push_back(ui::Row::labels({letter + std::to_string(r)}));
            screen->content.push_back(section);
        }
        screen->indexTitles = {"A", "B", "C"};
        gui::TableScreenWidget* widget = show(ui, screen);
        gui::SectionIndexBar* index = widget->sectionIndex();
        QVERIFY(index->isVisible());
        QVERIFY(index->width() < 60);
        QTest::mouseClick(index, Qt::LeftButton, {}, index->titleRect(2).center());
        QCOMPARE(screen->journal, std::vector<std::string>{"index 2"});
        const QModelIndex top = widget->table()->indexAt(QPoint(1, 1));
        QCOMPARE(top, widget->table()->screenModel().sectionIndex(2));
    }

    void multipleSelectionTogglesRows() {
        gui::QtUi ui;
        auto screen = std::make_shared<ScriptedScreen>(ui);
        screen->multiple = true;
        ui::Row chosen = ui::Row::labels({"M"});
        chosen.selected = true;
        ui::Row fixed = ui::Row::labels({"XL"});
        fixed.selectable = false;
        screen->content = {ui::Section{"Taglie", "", {ui::Row::labels({"S"}), chosen, fixed}}};
        gui::TableScreenWidget* widget = show(ui, screen);
        click(widget, centreOf(widget, {0, 0}));
        click(widget, centreOf(widget, {0, 0}));
        click(widget, centreOf(widget, {0, 1}));
        click(widget, centreOf(widget, {0, 2}));
        QCOMPARE(screen->journal, (std::vector<std::string>{"select 0,0", "deselect 0,0", "deselect 0,1"}));
    }

    // A camera photo not saved yet (bytes, no file) is drawn as itself, scaled into its row,
    // and leaves the row's button in reach.
    void aLargePhotoIsDrawnScaledIntoItsRow() {
        QImage photo(1600, 1200, QImage::Format_RGB32);
        photo.fill(QColor(200, 30, 30));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(photo.save(&buffer, "PNG"));
        ui::Image image;
        image.width = 1600;
        image.height = 1200;
        image.encoded = std::make_shared<const std::vector<unsigned char>>(png.begin(), png.end());
        gui::QtUi ui;
        auto screen = std::make_shared<ScriptedScreen>(ui);
        ui::Row row;
        row.items = {label("Foto"), button("fotocamera", "Cambia foto"), image};
        screen->content = {ui::Section{"Foto", "", {row}}};
        gui::TableScreenWidget* widget = show(ui, screen);
        QVERIFY(widget);
        QLabel* drawn = nullptr;
        for (QLabel* candidate : widget->findChildren<QLabel*>())
            if (!candidate->pixmap().isNull()) drawn = candidate;
        QVERIFY(drawn);
        QVERIFY2(drawn->height() <= 200 && drawn->width() <= 400, qPrintable(QString("%1x%2").arg(drawn->width()).arg(drawn->height())));
        QCOMPARE(drawn->pixmap().toImage().pixelColor(drawn->pixmap().rect().center()), QColor(200, 30, 30));
        auto* change = widget->findChild<QPushButton*>("button:fotocamera");
        QVERIFY(change && change->isVisible());
        QVERIFY(widget->table()->viewport()->rect().contains(change->mapTo(widget->table()->viewport(), change->rect().bottomRight())));
    }

    void orderEntryRowsAreDrawnSideBySide() {
        gui::QtUi ui;
        auto screen = std::make_shared<ScriptedScreen>(ui);
        ui::Label description = label("Giacca lana");
        description.style = ui::TextStyle::Bold;
        ui::Label surcharge = label("+1.50");
        surcharge.color = ui::Color{220, 0, 0};
        ui::Label price = label("   12.50");
        price.alignment = ui::Alignment::Right;
        ui::Row line;
        line.items = {label("V01"), description, surcharge, price};
        ui::Label hiddenLabel = label("nascosta");
        hiddenLabel.hidden = true;
        ui::Row withHidden;
        withHidden.items = {label("V02"), hiddenLabel, label("+0.00"), price};

        ui::TextField colour = quantityField("");
        colour.tag = 8;
        colour.enabled = false;
        colour.maxLength = 3;
        ui::Row colourRow;
        colourRow.items = {label("Colore"), colour, button("prev", "Prev.", "Prec!")};
        ui::Button tcc = button("tcc", "T+CC");
        tcc.background = ui::Color{0, 170, 0};
        ui::Row quantityRow;
        quantityRow.items = {label("Q.tà"), quantityField("2"), tcc};
        ui::Switch stock{"giacenza", "Giacenza", true};
        ui::Row switchRow;
        switchRow.items = {label("Opzioni"), button("note", "Note"), stock};
        screen->content = {ui::Section{"Articolo", "", {line, withHidden, colourRow, quantityRow, switchRow}}};
        gui::TableScreenWidget* widget = show(ui, screen);
        gui::ScreenTableView* view = widget->table();

        // Label rows have no widget; control rows do.
        gui::RowWidgetLayer* layer = widget->rowWidgets();
        QVERIFY(!layer->widgetAt({0, 0}) && !layer->widgetAt({0, 1}));
        QVERIFY(layer->widgetAt({0, 2}) && layer->widgetAt({0, 3}) && layer->widgetAt({0, 4}));

        // The red surcharge is painted in the third part of the row, the price at the right
        // end of the fourth, and a hidden label leaves its part blank.
        const QImage image = view->viewport()->grab().toImage();
        const auto parts = gui::RowDelegate::labelSlots(gui::RowGeometry::of(view->rowRect({0, 0}), line, false).content, 4);
        auto inked = [&](QRect area, auto test) {
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    if (test(image.pixelColor(x * image.width() / view->viewport()->width(),
                                              y * image.height() / view->viewport()->height())))
                        return true;
            return false;
        };
        auto red = [](QColor c) { return c.red() > 150 && c.green() < 80 && c.blue() < 80; };
        auto dark = [](QColor c) { return c.lightness() < 100; };
        QVERIFY(inked(parts[2], red));
        QVERIFY(!inked(parts[1], red) && !inked(parts[3], red));
        const QRect priceRight = parts[3].adjusted(parts[3].width() / 2, 0, 0, 0);
        const QRect priceLeft = parts[3].adjusted(0, 0, -parts[3].width() / 2, 0);
        QVERIFY(inked(priceRight, dark) && !inked(priceLeft, dark));
        const QRect hiddenPart = parts[1].translated(0, view->rowRect({0, 1}).top() - view->rowRect({0, 0}).top());
        QVERIFY(!inked(hiddenPart, dark));

        // Field settings, the green button, the pressed title, the switch's title.
        auto* colourField = widget->findChild<QLineEdit*>("field:8");
        QVERIFY(!colourField->isEnabled());
        QCOMPARE(colourField->maxLength(), 3);
        QVERIFY(colourField->inputMethodHints() & Qt::ImhDigitsOnly);
        auto* tccButton = widget->findChild<QPushButton*>("button:tcc");
        const QImage button = tccButton->grab().toImage();
        const QColor middle = button.pixelColor(button.width() / 2, button.height() / 4);
        QVERIFY2(middle.green() > 120 && middle.red() < 80, qPrintable(middle.name()));
        auto* prev = widget->findChild<QPushButton*>("button:prev");
        QTest::mousePress(prev, Qt::LeftButton);
        QCOMPARE(prev->text(), QString("Prec!"));
        QTest::mouseRelease(prev, Qt::LeftButton);
        QCOMPARE(prev->text(), QString("Prev."));
        QCOMPARE(screen->journal.back(), std::string("button prev 0"));
        QCOMPARE(widget->findChild<QCheckBox*>("switch:giacenza")->text(), QString("Giacenza"));
        // Fields of rows of one shape line up.
        QCOMPARE(widget->findChild<QLineEdit*>("field:7")->mapTo(view, QPoint()).x(),
                 colourField->mapTo(view, QPoint()).x());

        if (qEnvironmentVariableIsSet("TORVANE_GUI_SNAPSHOT"))
            ui.window().grab().save(qEnvironmentVariable("TORVANE_GUI_SNAPSHOT"));
    }
};

QTEST_MAIN(TableScreenWidgetTest)
#include "TableScreenWidgetTest.moc"
