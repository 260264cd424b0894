#pragma once

#include <QPlainTextEdit>

#include "platform/ui/ScreenModel.h"

namespace torvane::ui {
class Screen;
}

namespace torvane::gui {

// The multi-line text of a row. An editable one reports every change as it is typed (the
// screen may keep each one at once) and its text again when it loses focus; while it has
// focus, redraws leave its text alone.
class NoteEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    NoteEdit(ui::Screen& screen, const ui::MultilineText& spec, QWidget* parent = nullptr);

    int tag() const { return tag_; }
    void apply(const ui::MultilineText& spec);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    ui::Screen& screen_;
    int tag_;
    bool applying_ = false;  // a text set from the screen is not a change by the person
};

}  // namespace torvane::gui
