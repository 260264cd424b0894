#pragma once

#include <optional>

#include "platform/ui/ScreenModel.h"

namespace torvane::gui {

class ScreenTableModel;

// Where Tab goes in a table: from one editable field (a field or an editable note) to the next
// one in the rows' order, the items of a row left to right, across rows not yet on screen;
// Shift+Tab back. Row widgets exist only for rows on screen, so the widgets' own focus chain
// cannot follow the rows.
class FieldTabOrder {
public:
    struct Stop {
        ui::IndexPath where;
        int tag = 0;
        bool operator==(const Stop&) const = default;
    };

    explicit FieldTabOrder(const ScreenTableModel& model) : model_(model) {}

    // The editable field after (or before) `from`; none past the last (or the first).
    std::optional<Stop> next(Stop from, bool forward) const;

private:
    // The tags of a row's editable fields, left to right.
    std::vector<int> tagsOf(ui::IndexPath where) const;

    const ScreenTableModel& model_;
};

}  // namespace torvane::gui
