#include "platform/ui/Screen.h"

#include "platform/ui/Ui.h"

namespace torvane::ui {

void Screen::redraw() { ui_->reload(*this); }

void Screen::afterDelay(std::chrono::milliseconds delay, std::function<void()> action) {
    // The screen is held weakly: a timer never keeps a screen alive nor reaches one that is gone.
    std::weak_ptr<Screen> self = weak_from_this();
    ui_->startTimer(delay, [self, action = std::move(action)] {
        if (auto alive = self.lock()) action();
    });
}

}  // namespace torvane::ui
