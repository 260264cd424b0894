#include "AlertDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace torvane::gui {

AlertDialog::AlertDialog(const ui::Alert& alert, QWidget* parent) : QDialog(parent) {
    setObjectName("alert");
    setWindowTitle(QString::fromStdString(alert.title.value_or("")));
    answer_.tag = alert.tag;
    cancelButton_ = alert.cancelButton >= 0 ? alert.cancelButton
                    : alert.buttons.size() == 1 ? 0 : -1;
    auto* layout = new QVBoxLayout(this);
    if (alert.title) {
        auto* title = new QLabel(QString::fromStdString(*alert.title), this);
        title->setObjectName("alertTitle");
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        title->setAlignment(Qt::AlignCenter);
        layout->addWidget(title);
    }
    if (!alert.message.empty()) {
        auto* message = new QLabel(QString::fromStdString(alert.message), this);
        message->setObjectName("alertMessage");
        message->setWordWrap(true);
        message->setAlignment(Qt::AlignCenter);
        layout->addWidget(message);
    }
    for (const ui::AlertTextField& spec : alert.textFields) {
        auto* field = new QLineEdit(QString::fromStdString(spec.text), this);
        field->setPlaceholderText(QString::fromStdString(spec.placeholder));
        if (spec.secure) field->setEchoMode(QLineEdit::Password);
        layout->addWidget(field);
        fields_.push_back(field);
    }
    // Action sheets list their choices one above the other, alerts side by side.
    QBoxLayout* row = alert.style == ui::AlertStyle::ActionSheet
                          ? static_cast<QBoxLayout*>(new QVBoxLayout)
                          : static_cast<QBoxLayout*>(new QHBoxLayout);
    for (size_t i = 0; i < alert.buttons.size(); ++i) {
        auto* button = new QPushButton(QString::fromStdString(alert.buttons[i]), this);
        const int index = static_cast<int>(i);
        if (index == alert.destructiveButton) button->setStyleSheet("color: #c00;");
        connect(button, &QPushButton::clicked, this, [this, index] { pressed(index); });
        row->addWidget(button);
        buttons_.push_back(button);
    }
    layout->addLayout(row);
    if (!buttons_.empty()) buttons_.front()->setDefault(true);
}

void AlertDialog::reject() {
    if (cancelButton_ >= 0 && cancelButton_ < static_cast<int>(buttons_.size())) pressed(cancelButton_);
    else if (buttons_.empty()) QDialog::reject();
}

void AlertDialog::pressed(int index) {
    answer_.buttonIndex = index;
    answer_.texts.clear();
    for (QLineEdit* field : fields_) answer_.texts.push_back(field->text().toStdString());
    accept();
}

void AlertDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QTimer::singleShot(0, this, [this] {
        raise();
        activateWindow();
    });
}

}  // namespace torvane::gui
