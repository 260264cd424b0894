#include "FieldTabOrder.h"

#include <algorithm>

#include "ScreenTableModel.h"

namespace torvane::gui {

namespace {
// A form's fields are a few screenfuls apart at most; a long list with no field below is not
// read to its end for one key.
constexpr int kRowsLookedAt = 500;
}  // namespace

std::vector<int> FieldTabOrder::tagsOf(ui::IndexPath where) const {
    std::vector<int> tags;
    const auto row = model_.row(where);
    if (!row) return tags;
    for (const ui::Item& item : row->items) {
        if (const auto* field = std::get_if<ui::TextField>(&item); field && field->enabled) tags.push_back(field->tag);
        if (const auto* note = std::get_if<ui::MultilineText>(&item); note && note->editable) tags.push_back(note->tag);
    }
    return tags;
}

std::optional<FieldTabOrder::Stop> FieldTabOrder::next(Stop from, bool forward) const {
    // The fields after (or before) `from` in its own row first.
    std::vector<int> tags = tagsOf(from.where);
    auto at = std::find(tags.begin(), tags.end(), from.tag);
    if (at != tags.end()) {
        if (forward && at + 1 != tags.end()) return Stop{from.where, *(at + 1)};
        if (!forward && at != tags.begin()) return Stop{from.where, *(at - 1)};
    }
    ui::IndexPath where = from.where;
    for (int looked = 0; looked < kRowsLookedAt; ++looked) {
        if (forward) {
            ++where.row;
            while (where.section < model_.sectionCount() && where.row >= model_.rowCountIn(where.section))
                ++where.section, where.row = 0;
            if (where.section >= model_.sectionCount()) return std::nullopt;
        } else {
            --where.row;
            while (where.section >= 0 && where.row < 0)
                if (--where.section >= 0) where.row = model_.rowCountIn(where.section) - 1;
            if (where.section < 0) return std::nullopt;
        }
        tags = tagsOf(where);
        if (!tags.empty()) return Stop{where, forward ? tags.front() : tags.back()};
    }
    return std::nullopt;
}

}  // namespace torvane::gui
