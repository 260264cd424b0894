#include "platform/ui/NavigationStacks.h"

#include <utility>

#include "platform/ui/Screen.h"

namespace torvane::ui {

namespace {
std::shared_ptr<Screen> topOf(const NavigationStacks::Stack& stack) {
    return stack.empty() ? nullptr : stack.back();
}

// A tab of a tabbed screen is where its tabbed screen is.
const Screen* shown(const Screen& screen) {
    const Screen* outer = &screen;
    while (outer->container()) outer = outer->container();
    return outer;
}
}  // namespace

// Screens may navigate from inside their life-cycle calls, so every call-out happens after
// the stacks are in their new state and holds its own reference to the screen.
void NavigationStacks::appear(const std::shared_ptr<Screen>& screen) {
    if (screen) screen->viewWillAppear();
}

void NavigationStacks::disappear(const std::shared_ptr<Screen>& screen) {
    if (screen) screen->viewWillDisappear();
}

void NavigationStacks::setTabs(std::vector<Tab> tabs) {
    tabs_ = std::move(tabs);
    stacks_.clear();
    modals_.clear();
    for (const Tab& tab : tabs_) stacks_.push_back(tab.root ? Stack{tab.root} : Stack{});
    selected_ = 0;
    if (!stacks_.empty()) appear(topOf(stacks_[0]));
}

void NavigationStacks::selectTab(int index) {
    if (index < 0 || index >= static_cast<int>(stacks_.size()) || index == selected_) return;
    auto leaving = modals_.empty() ? topOf(stacks_[static_cast<size_t>(selected_)]) : nullptr;
    selected_ = index;
    disappear(leaving);
    if (modals_.empty()) appear(topOf(stacks_[static_cast<size_t>(index)]));
}

NavigationStacks::Stack* NavigationStacks::stackOf(const Screen& screen) {
    const Screen* target = shown(screen);
    for (Stack& stack : modals_)
        for (auto& member : stack)
            if (member.get() == target) return &stack;
    for (Stack& stack : stacks_)
        for (auto& member : stack)
            if (member.get() == target) return &stack;
    return nullptr;
}

void NavigationStacks::push(Screen& from, std::shared_ptr<Screen> screen) {
    if (!screen) return;
    Stack* stack = stackOf(from);
    if (!stack) {
        if (stacks_.empty()) return;
        stack = &stacks_[static_cast<size_t>(selected_)];
    }
    auto leaving = topOf(*stack);
    stack->push_back(screen);
    disappear(leaving);
    appear(screen);
}

bool NavigationStacks::pop(Screen& screen) {
    Stack* stack = stackOf(screen);
    if (!stack || stack->size() < 2 || stack->back().get() != shown(screen)) return false;
    auto leaving = stack->back();
    stack->pop_back();
    auto revealed = topOf(*stack);
    disappear(leaving);
    appear(revealed);
    return true;
}

void NavigationStacks::presentModal(Screen& from, std::shared_ptr<Screen> screen) {
    (void)from;
    if (!screen) return;
    auto leaving = std::shared_ptr<Screen>(visible() ? visible()->shared_from_this() : nullptr);
    modals_.push_back(Stack{screen});
    disappear(leaving);
    appear(screen);
}

bool NavigationStacks::dismissModal(Screen& screen) {
    for (size_t i = 0; i < modals_.size(); ++i) {
        for (auto& member : modals_[i]) {
            if (member.get() != shown(screen)) continue;
            auto leaving = topOf(modals_.back());
            modals_.resize(i);
            disappear(leaving);
            if (Screen* now = visible()) appear(now->shared_from_this());
            return true;
        }
    }
    return false;
}

Screen* NavigationStacks::visible() const {
    if (!modals_.empty()) return topOf(modals_.back()).get();
    if (stacks_.empty()) return nullptr;
    return topOf(stacks_[static_cast<size_t>(selected_)]).get();
}

std::optional<int> NavigationStacks::placeOf(const Screen& screen) const {
    const Screen* target = shown(screen);
    for (size_t i = 0; i < modals_.size(); ++i)
        for (auto& member : modals_[i])
            if (member.get() == target) return -1 - static_cast<int>(i);
    for (size_t i = 0; i < stacks_.size(); ++i)
        for (auto& member : stacks_[i])
            if (member.get() == target) return static_cast<int>(i);
    return std::nullopt;
}

}  // namespace torvane::ui
