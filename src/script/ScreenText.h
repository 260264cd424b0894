#pragma once

#include <optional>
#include <string>

namespace torvane::ui {
class Screen;
struct Row;
}  // namespace torvane::ui

namespace torvane::script {

class ScriptUi;

// The screen in front as text, the way `show` prints it:
//   == Title ==  [Nav button] ...
//   -- 0 Section title --
//   0.0  label | [Button] | (Switch: on) | <12: text> >
//        footer text
//   schede: *SCELTA* | Archivio (2) | IMPOSTAZIONI
// Very long sections print their first rows and how many more there are.
class ScreenText {
public:
    static std::string of(const ScriptUi& ui);
    // One row's items joined by " | ", with its accessory and marks.
    static std::string row(const ui::Row& row, const std::optional<std::string>& editedText = std::nullopt,
                           int editedTag = 0);

    static constexpr int kRowsShownPerSection = 200;
};

}  // namespace torvane::script
