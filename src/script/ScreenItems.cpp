#include "script/ScreenItems.h"

#include <algorithm>
#include <variant>

namespace torvane::script {

bool ScreenItems::forEach(ui::Screen& screen, const Visit& visit) {
    screen.discardCachedContent();
    const int sections = screen.numberOfSections();
    for (int s = 0; s < sections; ++s) {
        const int rows = std::min(screen.numberOfRows(s), kRowsSearched);
        for (int r = 0; r < rows; ++r) {
            const ui::Row row = screen.rowAt(s, r);
            for (const ui::Item& item : row.items)
                if (visit(item, ui::IndexPath{s, r})) return true;
        }
    }
    return false;
}

std::optional<ui::TextField> ScreenItems::fieldWithTag(ui::Screen& screen, int tag) {
    std::optional<ui::TextField> found;
    forEach(screen, [&](const ui::Item& item, ui::IndexPath) {
        if (auto* field = std::get_if<ui::TextField>(&item); field && field->tag == tag) found = *field;
        // A multi-line text (the order's notes) is typed into the same way.
        if (auto* note = std::get_if<ui::MultilineText>(&item); note && note->tag == tag) {
            found = ui::TextField{};
            found->tag = tag;
            found->text = note->text;
            found->enabled = note->editable;
        }
        return found.has_value();
    });
    return found;
}

}  // namespace torvane::script
