#pragma once

#include <QDialog>

class QStackedWidget;

namespace torvane::gui {

// One modal stack as a dialog above the window. Escape and the window's close button take the
// way out of the screen on top (`ScreenWidget::cancel`): the dialog goes only when the
// navigation dismisses its screens, so the screen that presented it always hears how it ended.
class ModalDialog : public QDialog {
    Q_OBJECT
public:
    explicit ModalDialog(QWidget* parent);

    QStackedWidget* stack() const { return stack_; }

protected:
    void reject() override;

private:
    QStackedWidget* stack_;
};

}  // namespace torvane::gui
