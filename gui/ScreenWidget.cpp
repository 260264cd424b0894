#include "ScreenWidget.h"

#include <QTimer>
#include <QVBoxLayout>

#include "NavigationBar.h"

namespace torvane::gui {

ScreenWidget::ScreenWidget(std::shared_ptr<ui::Screen> screen, QWidget* parent)
    : QWidget(parent), screen_(std::move(screen)), bar_(new NavigationBar(this)), content_(new QVBoxLayout) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar_);
    layout->addLayout(content_, 1);
    connect(bar_, &NavigationBar::backRequested, this, &ScreenWidget::backRequested);
}

void ScreenWidget::setCanGoBack(bool canGoBack) {
    canGoBack_ = canGoBack;
    bar_->setCanGoBack(canGoBack);
}

bool ScreenWidget::cancel(CancelScope scope) {
    if (canGoBack_) {
        emit backRequested();
        return true;
    }
    return scope == CancelScope::Modal && screen_->cancelModal();
}

void ScreenWidget::scheduleRefresh() {
    if (refreshPending_) return;
    refreshPending_ = true;
    // Never inside the event that asked for it: a widget of the screen may be its sender.
    QTimer::singleShot(0, this, [this] {
        if (refreshPending_) refresh();
    });
}

void ScreenWidget::refresh() {
    refreshPending_ = false;
    bar_->show(screen_->title(), screen_->navigationButtons(),
               [this](const std::string& action) { screen_->navigationButtonTapped(action); });
    refreshContent();
}

void ScreenWidget::scheduleRowReload(const std::vector<ui::IndexPath>& rows) {
    (void)rows;
    scheduleRefresh();
}

void ScreenWidget::scrollTo(ui::IndexPath where, ui::ScrollPosition position) { (void)where, (void)position; }

void ScreenWidget::focusField(int tag) { (void)tag; }

void ScreenWidget::endEditing() {
    if (QWidget* focused = focusWidget(); focused && isAncestorOf(focused)) focused->clearFocus();
}

}  // namespace torvane::gui
