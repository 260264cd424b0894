#pragma once

#include <QRect>

#include "platform/ui/ScreenModel.h"

namespace torvane::gui {

// Where the parts of a row go inside the row's rectangle: its content, the accessory at the
// right, the detail button inside it, and the delete button the edit mode adds at the far
// right. The delegate paints by it, the view hit-tests by it and row widgets are placed by it.
struct RowGeometry {
    QRect content;
    QRect accessory;     // empty without an accessory
    QRect detailButton;  // the part of the accessory that answers a tap
    QRect deleteButton;  // empty unless the row is deletable and the screen is editing

    static RowGeometry of(const QRect& rect, const ui::Row& row, bool editing);
};

}  // namespace torvane::gui
