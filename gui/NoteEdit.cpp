#include "NoteEdit.h"

#include <QFocusEvent>

#include "ItemStyle.h"
#include "platform/ui/Screen.h"

namespace torvane::gui {

NoteEdit::NoteEdit(ui::Screen& screen, const ui::MultilineText& spec, QWidget* parent)
    : QPlainTextEdit(parent), screen_(screen), tag_(spec.tag) {
    setObjectName(QString("field:%1").arg(spec.tag));
    setTabChangesFocus(true);  // Tab goes on to the next field, as in every other row
    apply(spec);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!applying_ && !isReadOnly()) screen_.shouldChangeCharacters(tag_, toPlainText().toStdString());
    });
}

void NoteEdit::apply(const ui::MultilineText& spec) {
    setReadOnly(!spec.editable);
    if (!hasFocus() && toPlainText() != qs(spec.text)) {
        applying_ = true;
        setPlainText(qs(spec.text));
        applying_ = false;
    }
}

void NoteEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    if (!isReadOnly() && event->reason() != Qt::PopupFocusReason) screen_.textFieldDidBeginEditing(tag_);
}

void NoteEdit::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    if (!isReadOnly() && event->reason() != Qt::PopupFocusReason)
        screen_.textFieldDidEndEditing(tag_, toPlainText().toStdString());
}

}  // namespace torvane::gui
