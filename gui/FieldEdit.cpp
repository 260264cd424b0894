#include "FieldEdit.h"

#include <QApplication>
#include <QPalette>

#include <QFocusEvent>
#include <QKeyEvent>
#include <algorithm>

#include "ItemStyle.h"
#include "platform/ui/Screen.h"

namespace torvane::gui {

namespace {
Qt::InputMethodHints hintsFor(ui::Keyboard keyboard) {
    switch (keyboard) {
        case ui::Keyboard::Number: return Qt::ImhDigitsOnly;
        case ui::Keyboard::Decimal: return Qt::ImhFormattedNumbersOnly;
        case ui::Keyboard::Email: return Qt::ImhEmailCharactersOnly;
        case ui::Keyboard::Phone: return Qt::ImhDialableCharactersOnly;
        case ui::Keyboard::Url: return Qt::ImhUrlCharactersOnly;
        default: return Qt::ImhNone;
    }
}
}  // namespace

FieldEdit::FieldEdit(ui::Screen& screen, const ui::TextField& spec, QWidget* parent)
    : QLineEdit(parent), screen_(screen), tag_(spec.tag) {
    setObjectName(QString("field:%1").arg(spec.tag));
    apply(spec);
    connect(this, &QLineEdit::textEdited, this, &FieldEdit::edited);
    connect(this, &QLineEdit::returnPressed, this, [this] {
        screen_.textFieldShouldReturn(tag_);
        reportEnd();
    });
}

void FieldEdit::apply(const ui::TextField& spec) {
    setPlaceholderText(qs(spec.placeholder));
    setAlignment(qalign(spec.alignment));
    // Setting the limit sets the text again (the cursor jumps to the end): only when it changes.
    if (const int limit = spec.maxLength > 0 ? spec.maxLength : 32767; maxLength() != limit) setMaxLength(limit);
    setEchoMode(spec.secure ? QLineEdit::Password : QLineEdit::Normal);
    // The screen checks every change itself; the hint only picks a fitting keyboard.
    setInputMethodHints(hintsFor(spec.keyboard));
    if (!hasFocus()) {
        if (text() != qs(spec.text)) setText(qs(spec.text));
        accepted_ = text();
    }
    setEnabled(spec.enabled);
    QPalette colours = palette();
    colours.setColor(QPalette::Text, spec.color ? QColor(spec.color->red, spec.color->green, spec.color->blue, spec.color->alpha)
                                                : QApplication::palette().color(QPalette::Text));
    setPalette(colours);
}

void FieldEdit::edited(const QString& text) {
    endReported_ = false;
    if (screen_.shouldChangeCharacters(tag_, text.toStdString())) {
        accepted_ = text;
        return;
    }
    const int cursor = cursorPosition() - static_cast<int>(text.size() - accepted_.size());
    setText(accepted_);
    setCursorPosition(std::clamp(cursor, 0, static_cast<int>(accepted_.size())));
}

void FieldEdit::reportEnd() {
    if (endReported_) return;
    endReported_ = true;
    screen_.textFieldDidEndEditing(tag_, text().toStdString());
}

void FieldEdit::keyPressEvent(QKeyEvent* event) {
    QLineEdit::keyPressEvent(event);
    // Return ends the editing here; passed on, it would also select the list's current row.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) event->accept();
}

void FieldEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (event->reason() == Qt::PopupFocusReason) return;  // back from its own context menu
    endReported_ = false;
    screen_.textFieldDidBeginEditing(tag_);
}

void FieldEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) reportEnd();
}

}  // namespace torvane::gui
