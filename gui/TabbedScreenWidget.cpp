#include "TabbedScreenWidget.h"

#include <QFont>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

#include "platform/ui/TabbedScreen.h"

namespace torvane::gui {

TabbedScreenWidget::TabbedScreenWidget(std::shared_ptr<ui::Screen> screen, QWidget* parent)
    : TableScreenWidget(std::move(screen), parent), tabs_(new QTabBar(this)) {
    QFont bold = tabs_->font();
    bold.setBold(true);
    bold.setPointSize(14);
    tabs_->setFont(bold);
    tabs_->setExpanding(true);
    contentLayout()->insertWidget(0, tabs_);
    auto* tabbed = dynamic_cast<ui::TabbedScreen*>(&this->screen());
    if (tabbed)
        for (const std::string& title : tabbed->tabTitles()) tabs_->addTab(QString::fromStdString(title));
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (auto* shown = dynamic_cast<ui::TabbedScreen*>(&this->screen())) {
            endEditing();
            shown->selectTab(index);
        }
    });
}

void TabbedScreenWidget::refreshContent() {
    if (auto* tabbed = dynamic_cast<ui::TabbedScreen*>(&screen())) {
        const QSignalBlocker quiet(tabs_);
        tabs_->setCurrentIndex(tabbed->selectedTab());
    }
    TableScreenWidget::refreshContent();
}

}  // namespace torvane::gui
