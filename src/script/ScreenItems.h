#pragma once

#include <functional>
#include <optional>

#include "platform/ui/Screen.h"

namespace torvane::script {

// The items of a screen as a script finds them: buttons and fields by what they show or their tag.
class ScreenItems {
public:
    // Called for each item of each row until it answers true.
    using Visit = std::function<bool(const ui::Item&, ui::IndexPath)>;

    // Lists longer than this are not searched for a button or a field: such lists have none.
    static constexpr int kRowsSearched = 2000;

    // Visits the items of the screen's current content; true when `visit` answered true.
    static bool forEach(ui::Screen& screen, const Visit& visit);
    // The text field (or multi-line text, as a field) with this tag, as the screen shows it now.
    static std::optional<ui::TextField> fieldWithTag(ui::Screen& screen, int tag);
};

}  // namespace torvane::script
