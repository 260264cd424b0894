#pragma once

#include <QDialog>
#include <vector>

#include "platform/ui/Alert.h"

class QLineEdit;
class QPushButton;

namespace torvane::gui {

// An alert, a prompt or an action sheet of the UI port as a Qt dialog: title, message, text
// fields and one button per answer. The answer is the pressed button with the field texts.
class AlertDialog : public QDialog {
    Q_OBJECT
public:
    explicit AlertDialog(const ui::Alert& alert, QWidget* parent = nullptr);

    const ui::AlertAnswer& answer() const { return answer_; }
    const std::vector<QPushButton*>& buttons() const { return buttons_; }
    const std::vector<QLineEdit*>& fields() const { return fields_; }

protected:
    // Escape or closing the window answers the cancel button, or the only button; an alert
    // with several buttons and no cancel one must be answered with a button.
    void reject() override;
    // Asks for the keyboard once the event that opened it is over: an alert opened while
    // another dialog closes, or during a click on the window, would otherwise be left without
    // the focus by the window manager, and Escape or Enter would not reach it.
    void showEvent(QShowEvent* event) override;

private:
    void pressed(int index);

    int cancelButton_ = -1;

    ui::AlertAnswer answer_;
    std::vector<QPushButton*> buttons_;
    std::vector<QLineEdit*> fields_;
};

}  // namespace torvane::gui
