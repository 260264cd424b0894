#include "MainWindow.h"

#include <QApplication>
#include <QShortcut>
#include <QDialog>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <set>

#include "ModalDialog.h"
#include "ScreenWidget.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Ui.h"

namespace torvane::gui {

MainWindow::MainWindow(ui::NavigationStacks& navigation, QWidget* parent)
    : QMainWindow(parent), navigation_(navigation), tabs_(new QTabWidget(this)) {
    setWindowTitle("Torvane");
    resize(1024, 768);
    tabs_->setObjectName("tabs");
    tabs_->setTabPosition(QTabWidget::South);
    setCentralWidget(tabs_);
    // Escape on a tab's screen goes back from a pushed screen (a list picker); modals take
    // Escape themselves.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        const int tab = tabs_->currentIndex();
        if (tab < 0 || static_cast<size_t>(tab) >= tabStacks_.size()) return;
        if (auto* top = qobject_cast<ScreenWidget*>(tabStacks_[static_cast<size_t>(tab)]->currentWidget()))
            top->cancel(ScreenWidget::CancelScope::Tab);
    });
    connect(tabs_->tabBar(), &QTabBar::tabBarClicked, this, [this](int index) {
        if (index != tabs_->currentIndex()) leaveCurrentPage();
    });
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (syncing_ || index < 0) return;
        navigation_.selectTab(index);
        sync();
    });
}

MainWindow::~MainWindow() {
    // A field being typed in hands its text to its screen when it loses the focus, and the
    // screen then asks for a redraw: that has to happen while this window is whole, not from
    // QWidget's teardown after the members are gone.
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (w == this) {
            QApplication::focusWidget()->clearFocus();
            break;
        }
}

void MainWindow::leaveCurrentPage() {
    // A field typed in on the page being left ends its editing here. Left holding the focus,
    // the page change would hand the focus to the field last used on the next page, which
    // would begin an edit before its screen has appeared (and taken up its order).
    QWidget* page = tabs_->currentWidget();
    QWidget* focused = QApplication::focusWidget();
    if (page && focused && page->isAncestorOf(focused)) focused->clearFocus();
}

ScreenWidget* MainWindow::ensureWidget(const std::shared_ptr<ui::Screen>& screen, QStackedWidget* stack) {
    auto found = widgets_.find(screen.get());
    if (found != widgets_.end()) return found->second;
    ScreenWidget* widget = factory_.create(screen, stack);
    ui::Screen* raw = screen.get();
    connect(widget, &ScreenWidget::backRequested, this, [raw] { raw->ui().pop(*raw); });
    stack->addWidget(widget);
    widgets_[raw] = widget;
    return widget;
}

void MainWindow::showStack(const ui::NavigationStacks::Stack& screens, QStackedWidget* stack) {
    for (size_t i = 0; i < screens.size(); ++i) {
        ScreenWidget* widget = ensureWidget(screens[i], stack);
        widget->setCanGoBack(i > 0);
        if (i + 1 == screens.size()) {
            widget->scheduleRefresh();
            stack->setCurrentWidget(widget);
        }
    }
}

void MainWindow::sync() {
    syncing_ = true;
    const auto& tabs = navigation_.tabs();
    if (tabStacks_.size() != tabs.size()) {
        tabs_->clear();
        tabStacks_.clear();
        tabTitles_.clear();
        for (const ui::Tab& tab : tabs) {
            auto* stack = new QStackedWidget(tabs_);
            tabs_->addTab(stack, QString::fromStdString(tab.title));
            tabStacks_.push_back(stack);
            tabTitles_.push_back(QString::fromStdString(tab.title));
        }
    }
    std::set<const ui::Screen*> shown;
    for (size_t t = 0; t < tabs.size(); ++t) {
        showStack(navigation_.stack(static_cast<int>(t)), tabStacks_[t]);
        for (auto& screen : navigation_.stack(static_cast<int>(t))) shown.insert(screen.get());
    }
    if (tabs_->currentIndex() != navigation_.selectedTab()) leaveCurrentPage();
    tabs_->setCurrentIndex(navigation_.selectedTab());

    const auto& modals = navigation_.modals();
    while (modalDialogs_.size() > modals.size()) {
        modalDialogs_.back()->hide();
        modalDialogs_.back()->deleteLater();
        modalDialogs_.pop_back();
        modalStacks_.pop_back();
    }
    for (size_t m = 0; m < modals.size(); ++m) {
        if (m == modalDialogs_.size()) {
            auto* dialog = new ModalDialog(this);
            modalDialogs_.push_back(dialog);
            modalStacks_.push_back(dialog->stack());
            dialog->show();
        }
        showStack(modals[m], modalStacks_[m]);
        for (auto& screen : modals[m]) shown.insert(screen.get());
    }

    // Screens that left the navigation lose their widgets (later: one of them may be the
    // sender of the event that popped it).
    for (auto it = widgets_.begin(); it != widgets_.end();) {
        if (shown.count(it->first)) {
            ++it;
            continue;
        }
        it->second->hide();
        it->second->deleteLater();
        it = widgets_.erase(it);
    }
    syncing_ = false;
}

void MainWindow::setBadge(int tab, const QString& badge) {
    if (tab < 0 || tab >= tabs_->count() || static_cast<size_t>(tab) >= tabTitles_.size()) return;
    const QString& title = tabTitles_[static_cast<size_t>(tab)];
    tabs_->setTabText(tab, badge.isEmpty() ? title : QString("%1 (%2)").arg(title, badge));
}

ScreenWidget* MainWindow::widgetFor(const ui::Screen& screen) const {
    // A tab of a tabbed screen is drawn by its tabbed screen's widget.
    const ui::Screen* shown = &screen;
    while (shown->container()) shown = shown->container();
    auto found = widgets_.find(shown);
    return found == widgets_.end() ? nullptr : found->second;
}

}  // namespace torvane::gui
