#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/NavigationStacks.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Ui.h"

namespace torvane::test {

// A `Ui` that records every request as a readable line, keeps the navigation as the real
// front end does, answers prompts as the test tells it, and runs timers and
// main-thread tasks when the test says so (virtual time: nothing sleeps).
class FakeUi : public ui::Ui {
public:
    struct ShownAlert {
        ui::Alert alert;
        ui::AlertHandler handler;
    };

    // ui::Ui
    void showAlert(ui::Alert alert, ui::AlertHandler onAnswer = {}) override;
    std::optional<ui::AlertAnswer> runModalPrompt(const ui::Alert& alert) override;
    void showTabs(std::vector<ui::Tab> tabs) override;
    void selectTab(int index) override;
    void push(ui::Screen& from, std::shared_ptr<ui::Screen> screen) override;
    void pop(ui::Screen& screen) override;
    void presentModal(ui::Screen& from, std::shared_ptr<ui::Screen> screen) override;
    void dismissModal(ui::Screen& screen) override;
    void setBadge(int tab, std::optional<std::string> badge) override;
    void reload(ui::Screen& screen) override;
    void scrollTo(ui::Screen& screen, ui::IndexPath where, ui::ScrollPosition position) override;
    void focusField(ui::Screen& screen, int tag) override;
    void endEditing(ui::Screen& screen) override;
    ui::TimerId startTimer(std::chrono::milliseconds delay, std::function<void()> fire) override;
    void cancelTimer(ui::TimerId timer) override;
    void postToMain(std::function<void()> task) override;
    void playSound(ui::Sound sound) override;
    void setKeepAwake(bool awake) override;

    // Every request, one line each ("alert Attenzione | Messaggio | [OK]", "push Clienti", ...).
    const std::vector<std::string>& events() const { return events_; }
    bool sawEvent(const std::string& line) const;
    void clearEvents() { events_.clear(); }

    // Alerts.
    const std::vector<ShownAlert>& alerts() const { return alerts_; }
    const ui::Alert* lastAlert() const;
    // True when an alert with this title (none: no title) and message was shown.
    bool sawAlert(const std::optional<std::string>& title, const std::string& message) const;

    // Prompts: answered from the queue in order; an empty queue answers button 0 with empty
    // texts. With `canHoldPrompts` off the platform cannot hold a prompt at all.
    void queuePromptAnswer(ui::AlertAnswer answer) { promptAnswers_.push_back(std::move(answer)); }
    const std::vector<ui::Alert>& prompts() const { return prompts_; }
    bool canHoldPrompts = true;

    // Navigation.
    const ui::NavigationStacks& navigation() const { return navigation_; }
    ui::Screen* visible() const { return navigation_.visible(); }
    std::optional<std::string> badge(int tab) const;
    std::optional<ui::IndexPath> lastScroll() const { return lastScroll_; }

    // Time: runs, in due order, every timer due within `delay` from now.
    void advance(std::chrono::milliseconds delay);
    int pendingTimers() const { return static_cast<int>(timers_.size()); }
    // Main thread: runs the tasks posted so far (and those they post). Returns how many ran.
    int drainMain();
    // Waits (really) until a task is posted from another thread or the time-out passes.
    bool waitForTask(std::chrono::milliseconds timeout);

    const std::vector<ui::Sound>& sounds() const { return sounds_; }
    bool keepAwake() const { return keepAwake_; }

private:
    struct Timer {
        ui::TimerId id;
        std::chrono::milliseconds due;
        std::function<void()> fire;
    };
    void record(std::string line) { events_.push_back(std::move(line)); }

    std::vector<std::string> events_;
    std::vector<ShownAlert> alerts_;
    std::vector<ui::Alert> prompts_;
    std::deque<ui::AlertAnswer> promptAnswers_;
    ui::NavigationStacks navigation_;
    std::map<int, std::optional<std::string>> badges_;
    std::optional<ui::IndexPath> lastScroll_;
    std::vector<Timer> timers_;
    std::chrono::milliseconds now_{0};
    ui::TimerId nextTimer_ = 1;
    std::mutex mainMutex_;
    std::condition_variable mainPosted_;
    std::deque<std::function<void()>> mainTasks_;
    std::vector<ui::Sound> sounds_;
    bool keepAwake_ = false;
};

}  // namespace torvane::test
