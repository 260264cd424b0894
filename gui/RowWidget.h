#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "platform/ui/ScreenModel.h"

class QBoxLayout;

namespace torvane::ui {
class Screen;
}

namespace torvane::gui {

// The widgets of a row with controls (fields, buttons, switches, steppers, images, notes),
// laid out over the row's content area. It is updated in place when the row is drawn again
// with the same kinds of items, so a field being typed in keeps its text, cursor and focus.
class RowWidget : public QWidget {
    Q_OBJECT
public:
    RowWidget(ui::Screen& screen, const ui::Row& row, ui::IndexPath where, QWidget* parent = nullptr);

    // Rows of labels alone are painted; any other item needs a row widget.
    static bool isNeededFor(const ui::Row& row);
    static int naturalHeight(const ui::Row& row, const QFont& font);

    // Same kinds of items in the same order and arrangement: `apply` can update it in place.
    bool fits(const ui::Row& row) const;
    void apply(const ui::Row& row, ui::IndexPath where);

    ui::IndexPath where() const { return where_; }
    // The field or note with this tag; none when the row has none.
    QWidget* field(int tag) const;
    // The tag of the field or note that has the focus; none when focus is elsewhere.
    std::optional<int> focusedTag() const;

    // The content version this widget shows (the layer's count of redraws).
    long long version = 0;

private:
    QWidget* makeItem(size_t index);
    void applyItem(QWidget* widget, const ui::Item& item);

    ui::Screen& screen_;
    ui::IndexPath where_;
    bool stacked_;
    std::vector<ui::Item> items_;
    std::vector<QWidget*> widgets_;
};

}  // namespace torvane::gui
