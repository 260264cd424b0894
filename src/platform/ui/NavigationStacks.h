#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/Ui.h"

namespace torvane::ui {

// The tab bar, its navigation stacks and the modal stacks above them, with the life-cycle
// calls a screen gets as it is shown and hidden. Every `Ui` keeps its navigation here so the
// fake of the tests and the Qt front end call the screens in the same order.
class NavigationStacks {
public:
    using Stack = std::vector<std::shared_ptr<Screen>>;

    void setTabs(std::vector<Tab> tabs);
    void selectTab(int index);
    void push(Screen& from, std::shared_ptr<Screen> screen);
    // False when `screen` is not the top of a stack with something below it.
    bool pop(Screen& screen);
    void presentModal(Screen& from, std::shared_ptr<Screen> screen);
    // Dismisses the modal stack holding `screen` and everything presented above it.
    bool dismissModal(Screen& screen);

    const std::vector<Tab>& tabs() const { return tabs_; }
    int selectedTab() const { return selected_; }
    const Stack& stack(int tab) const { return stacks_.at(static_cast<size_t>(tab)); }
    const std::vector<Stack>& modals() const { return modals_; }
    // The screen the person sees: the top of the last modal stack, else of the selected tab.
    Screen* visible() const;
    // Where a screen is: a tab index (>= 0) or -1 - modal index; none when not shown.
    std::optional<int> placeOf(const Screen& screen) const;

private:
    Stack* stackOf(const Screen& screen);
    static void appear(const std::shared_ptr<Screen>& screen);
    static void disappear(const std::shared_ptr<Screen>& screen);

    std::vector<Tab> tabs_;
    std::vector<Stack> stacks_;
    std::vector<Stack> modals_;
    int selected_ = 0;
};

}  // namespace torvane::ui
