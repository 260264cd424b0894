#pragma once

#include <QLineEdit>

#include "platform/ui/ScreenModel.h"

namespace torvane::ui {
class Screen;
}

namespace torvane::gui {

// The one-line field of a text-field item. It asks the screen before taking each change
// (a refusal keeps the text it had) and reports its text once when editing ends: on Return or
// when it loses focus. While the person types in it, redraws leave its text alone.
class FieldEdit : public QLineEdit {
    Q_OBJECT
public:
    FieldEdit(ui::Screen& screen, const ui::TextField& spec, QWidget* parent = nullptr);

    int tag() const { return tag_; }
    // Takes the screen's values; the text only when the field is not being edited.
    void apply(const ui::TextField& spec);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void edited(const QString& text);
    void reportEnd();

    ui::Screen& screen_;
    int tag_;
    QString accepted_;
    bool endReported_ = true;
};

}  // namespace torvane::gui
