#pragma once

#include <QStyledItemDelegate>
#include <vector>

#include "platform/ui/ScreenModel.h"

namespace torvane::gui {

class ScreenTableView;

// Paints every item of a table screen: section titles, footers, and rows. A row of labels is
// painted whole here, with no widget, which keeps a list of 50,000 rows cheap; a row with
// controls gets only its background, accessory and delete button, its row widget lies above.
class RowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit RowDelegate(ScreenTableView& view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The height of a row (not of a section title or footer).
    int rowHeight(const ui::Row& row, const QFont& font) const;

    // Rows painted since the view was made; a measure of the work a redraw does.
    long long paintedRows() const { return paintedRows_; }

    // Side-by-side labels share the width by position, so that rows of the same shape line up:
    // the second label (a row's main text) takes three shares, every other one one share.
    // Labels may ask for their part of the width (`Label::share`); none asks: the usual parts.
    static std::vector<QRect> labelSlots(const QRect& content, int count, const std::vector<int>& asked = {});

private:
    void paintSection(QPainter* painter, const QStyleOptionViewItem& option, int section) const;
    void paintFooter(QPainter* painter, const QStyleOptionViewItem& option, int section) const;
    void paintRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paintLabel(QPainter* painter, const QRect& slot, const ui::Label& label, const QFont& base,
                    const QColor& text) const;
    void paintAccessory(QPainter* painter, const QRect& rect, ui::Accessory accessory, const QFont& base) const;
    int labelsHeight(const ui::Row& row, const QFont& base) const;
    int footerHeight(int section, const QFont& base) const;

    ScreenTableView& view_;
    mutable long long paintedRows_ = 0;
};

}  // namespace torvane::gui
