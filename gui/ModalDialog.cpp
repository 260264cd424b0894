#include "ModalDialog.h"

#include <QStackedWidget>
#include <QVBoxLayout>

#include "ScreenWidget.h"

namespace torvane::gui {

ModalDialog::ModalDialog(QWidget* parent) : QDialog(parent), stack_(new QStackedWidget(this)) {
    setObjectName("modal");
    setModal(true);
    resize(800, 600);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stack_);
}

void ModalDialog::reject() {
    if (!isVisible()) return;  // dismissed already: a second Escape finds nothing to cancel
    if (auto* top = qobject_cast<ScreenWidget*>(stack_->currentWidget())) top->cancel(ScreenWidget::CancelScope::Modal);
}

}  // namespace torvane::gui
