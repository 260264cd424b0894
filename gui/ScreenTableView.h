#pragma once

#include <QTreeView>
#include <set>
#include <utility>
#include <vector>

#include "platform/ui/Screen.h"

namespace torvane::gui {

class RowDelegate;
class ScreenTableModel;

// The view of a table screen: a tree of sections and rows drawn by `RowDelegate`. It turns
// clicks and keys into the screen's calls (selection, accessory, deletion) and reads rows only
// as it draws them.
class ScreenTableView : public QTreeView {
    Q_OBJECT
public:
    explicit ScreenTableView(ui::Screen& screen, QWidget* parent = nullptr);
    ~ScreenTableView() override;

    ui::Screen& screen() const { return screen_; }
    ScreenTableModel& screenModel() const { return *model_; }
    RowDelegate& rowDelegate() const { return *delegate_; }

    // Reads the table afresh; the scroll position stays where it was.
    void reload();
    void reloadRows(const std::vector<ui::IndexPath>& rows);

    // Whether a row is drawn as selected: by the screen's say or the person's last click.
    bool isShownSelected(const QModelIndex& index, const ui::Row& row) const;
    // The items on screen with their rectangles, top to bottom.
    std::vector<std::pair<QModelIndex, QRect>> visibleItems() const;
    // The rectangle of a row in the viewport; empty when the row does not exist.
    QRect rowRect(ui::IndexPath where) const;
    void scrollToRow(ui::IndexPath where, ui::ScrollPosition position);
    void scrollToSection(int section);

signals:
    // The rows moved or changed size (layout, scrolling, resizing): row widgets must follow.
    void contentMoved();

protected:
    // Typing in the list would read every row to find a match; the search bar is for that.
    void keyboardSearch(const QString&) override {}
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void updateGeometries() override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

private:
    void activate(const QModelIndex& index);
    void modelWasReset();

    ui::Screen& screen_;
    ScreenTableModel* model_;
    RowDelegate* delegate_;
    // Rows the person toggled in a multiple selection since the last redraw, with their state.
    std::set<std::pair<int, int>> toggledOn_, toggledOff_;
    // A press the accessory or the delete button took: its release must not select the row.
    bool pressTaken_ = false;
    // Kinetic scrolling moves by pixels, the scroll bar by rows: the pixels a row counts for
    // during one flick (the height of the row at the top when it began).
    qreal flickRowHeight_ = 1;
};

}  // namespace torvane::gui
