// A tabbed form in the window: its tab bar switches the table below it, and a tab's own
// redraws and field edits reach the one widget that shows it.
#include <QApplication>
#include <QTabBar>
#include <QTest>

#include "MainWindow.h"
#include "QtUi.h"
#include "ScreenTableModel.h"
#include "ScreenTableView.h"
#include "TabbedScreenWidget.h"
#include "platform/ui/TabbedScreen.h"

using namespace torvane;

namespace {

class Part : public ui::Screen {
public:
    Part(ui::Ui& ui, std::string title, std::string text) : Screen(ui), text_(std::move(text)) { setTitle(std::move(title)); }
    std::vector<ui::Section> sections() const override {
        return {{"Dati", "", {ui::Row::labels({text_})}}};
    }
    void change(std::string text) {
        text_ = std::move(text);
        redraw();
    }

private:
    std::string text_;
};

}  // namespace

class TabbedScreenWidgetTest : public QObject {
    Q_OBJECT
private slots:
    void theTabBarChoosesTheTableAndATabRedrawsThroughItsForm() {
        gui::QtUi ui;
        auto root = std::make_shared<Part>(ui, "Clienti", "lista");
        ui.showTabs({{"SCELTA", "", root}});
        auto generale = std::make_shared<Part>(ui, "Generale", "Rossi Tessuti");
        auto contatti = std::make_shared<Part>(ui, "Contatti", "Mario Rossi");
        auto form = std::make_shared<ui::TabbedScreen>(ui, std::vector<std::shared_ptr<ui::Screen>>{generale, contatti});
        ui.presentModal(*root, form);
        QApplication::processEvents();

        auto* widget = dynamic_cast<gui::TabbedScreenWidget*>(ui.window().widgetFor(*form));
        QVERIFY(widget);
        QCOMPARE(ui.window().widgetFor(*contatti), widget);
        QCOMPARE(widget->tabBar()->count(), 2);
        QCOMPARE(widget->tabBar()->tabText(1), QString("Contatti"));
        auto shownText = [&] {
            auto* model = widget->table()->model();
            QModelIndex section = model->index(0, 0);
            return model->index(0, 0, section).data(Qt::DisplayRole).toString();
        };
        QApplication::processEvents();
        QVERIFY(shownText().contains("Rossi Tessuti"));

        widget->tabBar()->setCurrentIndex(1);
        QApplication::processEvents();
        QCOMPARE(form->selectedTab(), 1);
        QVERIFY(shownText().contains("Mario Rossi"));

        contatti->change("Anna Bianchi");
        QApplication::processEvents();
        QVERIFY(shownText().contains("Anna Bianchi"));

        if (const char* folder = std::getenv("TORVANE_SCREENSHOT_DIR"))
            widget->window()->grab().save(QString::fromUtf8(folder) + "/tabbed.png");
    }
};

QTEST_MAIN(TabbedScreenWidgetTest)
#include "TabbedScreenWidgetTest.moc"
