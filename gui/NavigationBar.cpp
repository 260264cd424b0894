#include "NavigationBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "ItemStyle.h"

namespace torvane::gui {

namespace {
bool sameButtons(const std::vector<ui::NavigationButton>& a, const std::vector<ui::NavigationButton>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].action != b[i].action || a[i].title != b[i].title || a[i].side != b[i].side ||
            a[i].enabled != b[i].enabled)
            return false;
    return true;
}

void clear(QHBoxLayout* layout) {
    while (QLayoutItem* old = layout->takeAt(0)) {
        if (old->widget()) old->widget()->deleteLater();  // it may be the button being clicked
        delete old;
    }
}
}  // namespace

NavigationBar::NavigationBar(QWidget* parent)
    : QWidget(parent), back_(new QPushButton(QStringLiteral("‹ Indietro"), this)), title_(new QLabel(this)),
      left_(new QHBoxLayout), right_(new QHBoxLayout) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    back_->setObjectName("back");
    back_->setVisible(false);
    connect(back_, &QPushButton::clicked, this, &NavigationBar::backRequested);
    title_->setObjectName("title");
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(styledFont(title_->font(), ui::TextStyle::Title));
    layout->addWidget(back_);
    layout->addLayout(left_);
    layout->addWidget(title_, 1);
    layout->addLayout(right_);
}

void NavigationBar::setCanGoBack(bool canGoBack) { back_->setVisible(canGoBack); }

void NavigationBar::show(const std::string& title, const std::vector<ui::NavigationButton>& buttons,
                         std::function<void(const std::string&)> tapped) {
    title_->setText(qs(title));
    if (sameButtons(buttons, shown_) && !shown_.empty()) return;
    shown_ = buttons;
    clear(left_);
    clear(right_);
    for (const ui::NavigationButton& spec : buttons) {
        auto* button = new QPushButton(qs(spec.title), this);
        button->setObjectName(qs("nav:" + spec.action));
        button->setEnabled(spec.enabled);
        connect(button, &QPushButton::clicked, this, [tapped, action = spec.action] { tapped(action); });
        (spec.side == ui::NavigationSide::Left ? left_ : right_)->addWidget(button);
    }
}

}  // namespace torvane::gui
