#pragma once

#include <QWidget>
#include <map>
#include <memory>

#include "platform/ui/Screen.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace torvane::gui {

// Draws any table screen of the UI port: a navigation bar (back, title, buttons), the search
// bar when the screen has one, and the sections with their rows of items. The person's
// actions become the screen's event calls; the screen asks for a redraw through its `Ui`.
class TableScreenWidget : public QWidget {
    Q_OBJECT
public:
    TableScreenWidget(std::shared_ptr<ui::Screen> screen, QWidget* parent = nullptr);

    ui::Screen& screen() const { return *screen_; }
    // Draws the screen again from its sections (coalesced: at most once per event loop turn).
    void scheduleRefresh();
    void refresh();
    void setCanGoBack(bool canGoBack);
    void scrollTo(ui::IndexPath where, ui::ScrollPosition position);
    void focusField(int tag);

    QTreeWidget* table() const { return tree_; }
    QLineEdit* searchBar() const { return search_; }
    // The tree item of a row; none when the row does not exist.
    QTreeWidgetItem* itemAt(ui::IndexPath where) const;

signals:
    void backRequested();

private:
    void rowClicked(QTreeWidgetItem* item);
    QWidget* makeRowWidget(const ui::Row& row, ui::IndexPath where);
    QWidget* makeItemWidget(const ui::Item& item, ui::IndexPath where);
    void rebuildNavigationBar();

    std::shared_ptr<ui::Screen> screen_;
    QPushButton* back_ = nullptr;
    QLabel* title_ = nullptr;
    QHBoxLayout* buttons_ = nullptr;
    QLineEdit* search_ = nullptr;
    QPushButton* cancelSearch_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    std::map<int, QWidget*> fields_;
    std::map<std::pair<int, int>, QTreeWidgetItem*> items_;
    bool refreshPending_ = false;
};

}  // namespace torvane::gui
