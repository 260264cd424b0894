#pragma once

#include <memory>
#include <vector>

#include "ScreenWidget.h"

class QLineEdit;
class QPoint;
class QPushButton;

namespace torvane::gui {

class RowWidgetLayer;
class ScreenTableView;
class SectionIndexBar;

// Draws any table screen: the search bar when the screen has one, the sections and rows in a
// `ScreenTableView` over the screen's item model, the row widgets of the rows with controls,
// and the section index at the right.
class TableScreenWidget : public ScreenWidget {
    Q_OBJECT
public:
    explicit TableScreenWidget(std::shared_ptr<ui::Screen> screen, QWidget* parent = nullptr);

    void scheduleRowReload(const std::vector<ui::IndexPath>& rows) override;
    void scrollTo(ui::IndexPath where, ui::ScrollPosition position) override;
    void focusField(int tag) override;

    ScreenTableView* table() const { return view_; }
    RowWidgetLayer* rowWidgets() const { return layer_; }
    SectionIndexBar* sectionIndex() const { return index_; }
    QLineEdit* searchBar() const { return search_; }

protected:
    void refreshContent() override;
    // Tab and Shift+Tab from a row's field follow the rows (`FieldTabOrder`).
    bool focusNextPrevChild(bool next) override;

private:
    void reloadPendingRows();
    // Tells the screen which rows are on screen, once per event-loop turn.
    void scheduleShownRows();
    void reportShownRows();
    // A row's edit menu (right click): copying the row's text, then the row's own items.
    void showEditMenu(const QPoint& at);

    QLineEdit* search_;
    QPushButton* cancelSearch_;
    ScreenTableView* view_;
    RowWidgetLayer* layer_;
    SectionIndexBar* index_;
    std::vector<ui::IndexPath> pendingRows_;
    std::vector<ui::IndexPath> shownRows_;
    bool shownPending_ = false;
};

}  // namespace torvane::gui
