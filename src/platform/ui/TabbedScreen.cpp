#include "platform/ui/TabbedScreen.h"

#include <stdexcept>

namespace torvane::ui {

TabbedScreen::TabbedScreen(Ui& ui, std::vector<std::shared_ptr<Screen>> tabs) : Screen(ui), tabs_(std::move(tabs)) {
    if (tabs_.empty()) throw std::invalid_argument("a tabbed screen needs a tab");
    for (const auto& tab : tabs_) tab->setContainer(this);
}

TabbedScreen::~TabbedScreen() {
    for (const auto& tab : tabs_)
        if (tab->container() == this) tab->setContainer(nullptr);
}

std::vector<std::string> TabbedScreen::tabTitles() const {
    std::vector<std::string> titles;
    for (const auto& tab : tabs_) titles.push_back(tab->title());
    return titles;
}

void TabbedScreen::selectTab(int index) {
    if (index < 0 || index >= static_cast<int>(tabs_.size()) || index == selected_) return;
    auto leaving = tabs_[static_cast<std::size_t>(selected_)];
    selected_ = index;
    leaving->viewWillDisappear();
    current().viewWillAppear();
    redraw();
}

void TabbedScreen::discardCachedContent() const {
    Screen::discardCachedContent();
    current().discardCachedContent();
}

}  // namespace torvane::ui
