#pragma once

#include <QObject>
#include <map>
#include <utility>

#include "platform/ui/ScreenModel.h"

class QModelIndex;
class QWidget;

namespace torvane::gui {

class RowWidget;
class ScreenTableView;

// The row widgets of a table view: made for the rows with controls that are on screen, placed
// over them, updated in place when their rows are drawn again and dropped when they scroll away.
// A field being typed in is never dropped by a redraw: it follows its tag to wherever its row
// is now, or waits outside the viewport while scrolled away; only when its field has left the
// rows on screen does its editing end, so the screen receives the text.
class RowWidgetLayer : public QObject {
    Q_OBJECT
public:
    explicit RowWidgetLayer(ScreenTableView& view);

    // Every row was read afresh.
    void contentReset();
    // These rows were read afresh.
    void rowsChanged(const QModelIndex& from, const QModelIndex& to);
    // Brings the widgets in line with the rows on screen.
    void sync();

    RowWidget* widgetAt(ui::IndexPath where) const;
    QWidget* field(int tag) const;
    int count() const { return static_cast<int>(widgets_.size()); }

private:
    using Key = std::pair<int, int>;
    void discard(RowWidget* widget);

    ScreenTableView& view_;
    std::map<Key, RowWidget*> widgets_;
    long long version_ = 1;
    bool syncing_ = false;
};

}  // namespace torvane::gui
