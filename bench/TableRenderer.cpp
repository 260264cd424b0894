// Times the Qt table renderer on the offscreen platform: opening a screen of 50,000 label
// rows (push, model reset, first paint), a search keystroke that narrows the list to 500
// rows and widens it again, each redrawn and painted, and 100 wheel steps down the 50,000 rows,
// each painted, against the floor of painting the same screenful without moving. Counts the
// rows read and painted to show the work was done, and that only what was shown was read.
#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>
#include <cstdio>
#include <set>

#include "BenchStats.h"
#include "MainWindow.h"
#include "QtUi.h"
#include "RowDelegate.h"
#include "ScreenTableModel.h"
#include "ScreenTableView.h"
#include "TableScreenWidget.h"
#include "platform/Format.h"
#include "platform/ui/Screen.h"

using namespace torvane;

namespace {

constexpr int kRows = 50000, kNarrowed = 500, kRuns = 15;

class ClientList : public ui::Screen {
public:
    using Screen::Screen;
    int numberOfSections() const override { return 1; }
    int numberOfRows(int) const override { return rows; }
    ui::SectionHeader sectionHeader(int) const override { return {"Clienti", format("%d clienti", rows)}; }
    ui::Row rowAt(int, int row) const override {
        ++reads;
        return ui::Row::labels({format("C%06d", row), format("Tessuti Moda di Rossi & C. %d", row), "Prato"},
                               ui::Accessory::Disclosure);
    }
    void search(int count) {
        rows = count;
        redraw();
    }

    int rows = kRows;
    mutable long long reads = 0;
};

struct Shown {
    gui::TableScreenWidget* widget;
    long long painted;
    int rows;
};

Shown paint(gui::QtUi& ui, ui::Screen& screen) {
    QApplication::processEvents();
    auto* widget = static_cast<gui::TableScreenWidget*>(ui.window().widgetFor(screen));
    widget->table()->viewport()->grab();
    gui::ScreenTableModel& model = widget->table()->screenModel();
    return {widget, widget->table()->rowDelegate().paintedRows(), model.rowCountIn(0)};
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    gui::QtUi ui;
    auto root = std::make_shared<ClientList>(ui);
    root->rows = 1;
    ui.showTabs({{"SCELTA", "", root}});
    ui.window().resize(1024, 768);
    ui.window().show();
    QApplication::processEvents();

    bench::Samples open, narrow, widen;
    long long readsPerOpen = 0, paintedPerOpen = 0;
    bool worked = true;
    for (int run = 0; run < kRuns; ++run) {
        auto list = std::make_shared<ClientList>(ui);
        Shown shown{};
        open.time([&] {
            ui.push(*root, list);
            shown = paint(ui, *list);
        });
        worked = worked && shown.rows == kRows && shown.painted > 10;
        readsPerOpen = list->reads;
        paintedPerOpen = shown.painted;

        narrow.time([&] {
            list->search(kNarrowed);
            shown = paint(ui, *list);
        });
        worked = worked && shown.rows == kNarrowed;
        widen.time([&] {
            list->search(kRows);
            shown = paint(ui, *list);
        });
        worked = worked && shown.rows == kRows;
        ui.pop(*list);
        QApplication::processEvents();
    }

    // 100 wheel steps, each from the event to the rows painted at the new offset.
    auto list = std::make_shared<ClientList>(ui);
    ui.push(*root, list);
    Shown shown = paint(ui, *list);
    gui::ScreenTableView* view = shown.widget->table();
    bench::Samples step, still;
    std::set<int> seen;
    const long long readsBefore = list->reads;
    const long long paintedBefore = view->rowDelegate().paintedRows();
    for (int i = 0; i < 100; ++i) {
        step.time([&] {
            const QPoint at = view->viewport()->rect().center();
            QWheelEvent wheel(at, view->viewport()->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(view->viewport(), &wheel);
            view->viewport()->repaint();
        });
        for (const auto& [index, rect] : view->visibleItems()) seen.insert(view->screenModel().pathOf(index).row);
        still.time([&] { view->viewport()->repaint(); });
    }
    const long long readsScrolling = list->reads - readsBefore;
    const long long paintedScrolling = view->rowDelegate().paintedRows() - paintedBefore;
    const int offset = view->verticalScrollBar()->value();
    worked = worked && offset > 100 && paintedScrolling > 100 * 20;

    open.print("open 50,000 rows (push + reset + paint)");
    narrow.print("keystroke: 50,000 -> 500 rows, redrawn");
    widen.print("keystroke: 500 -> 50,000 rows, redrawn");
    std::printf("rows read on opening: %lld of %d; rows painted: %lld\n", readsPerOpen, kRows, paintedPerOpen);
    step.print("wheel step on 50,000 rows, painted");
    still.print("floor: the same screenful painted again");
    std::printf("wheel step / floor at p99: %.2f; scroll bar at item %d; rows read while scrolling: %lld for %zu "
                "shown; rows painted: %lld\n",
                step.percentile(0.99) / std::max(1.0, still.percentile(0.99)), offset, readsScrolling, seen.size(),
                paintedScrolling);
    // Rows are read once when they come on screen, never all of them.
    worked = worked && readsScrolling <= static_cast<long long>(seen.size()) + 64;
    if (!worked) {
        std::printf("FAILED: the table did not show the rows it was given\n");
        return 1;
    }
    return 0;
}
