#include "RowGeometry.h"

namespace torvane::gui {

namespace {
constexpr int kPadding = 6;
constexpr int kMark = 20;          // one accessory sign (›, ✓)
constexpr int kDetail = 26;        // the ⓘ button
constexpr int kDeleteWidth = 64;   // "Elimina"
}  // namespace

RowGeometry RowGeometry::of(const QRect& rect, const ui::Row& row, bool editing) {
    RowGeometry g;
    int right = rect.right();
    if (editing && row.deletable) {
        g.deleteButton = QRect(right - kDeleteWidth - 2, rect.top() + 3, kDeleteWidth, std::max(0, rect.height() - 6));
        right = g.deleteButton.left() - kPadding;
    }
    int width = 0;
    switch (row.accessory) {
        case ui::Accessory::None: break;
        case ui::Accessory::Disclosure:
        case ui::Accessory::Checkmark: width = kMark; break;
        case ui::Accessory::DetailButton: width = kDetail; break;
        case ui::Accessory::DetailDisclosure: width = kDetail + kMark; break;
    }
    if (width > 0) {
        g.accessory = QRect(right - width, rect.top(), width, rect.height());
        if (row.accessory == ui::Accessory::DetailButton || row.accessory == ui::Accessory::DetailDisclosure)
            g.detailButton = QRect(g.accessory.left(), rect.top(), kDetail, rect.height());
        right = g.accessory.left() - 2;
    }
    g.content = QRect(QPoint(rect.left() + kPadding, rect.top()), QPoint(right - kPadding, rect.bottom()));
    return g;
}

}  // namespace torvane::gui
