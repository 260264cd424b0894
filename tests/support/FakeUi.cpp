#include "support/FakeUi.h"

#include <algorithm>

namespace torvane::test {

namespace {
std::string describeAlert(const char* kind, const ui::Alert& alert) {
    std::string line = kind;
    line += " " + alert.title.value_or("(senza titolo)") + " | " + alert.message + " | [";
    for (size_t i = 0; i < alert.buttons.size(); ++i) line += (i ? "|" : "") + alert.buttons[i];
    return line + "]";
}

std::string titleOf(const ui::Screen& screen) {
    std::string title = screen.title();
    return title.empty() ? "(senza titolo)" : title;
}
}  // namespace

void FakeUi::showAlert(ui::Alert alert, ui::AlertHandler onAnswer) {
    record(describeAlert(alert.style == ui::AlertStyle::ActionSheet ? "sheet" : "alert", alert));
    alerts_.push_back({std::move(alert), std::move(onAnswer)});
}

std::optional<ui::AlertAnswer> FakeUi::runModalPrompt(const ui::Alert& alert) {
    record(describeAlert("prompt", alert));
    prompts_.push_back(alert);
    if (!canHoldPrompts) return std::nullopt;
    ui::AlertAnswer answer;
    if (!promptAnswers_.empty()) {
        answer = std::move(promptAnswers_.front());
        promptAnswers_.pop_front();
    } else {
        answer.texts.resize(alert.textFields.size());
    }
    answer.tag = alert.tag;
    return answer;
}

void FakeUi::showTabs(std::vector<ui::Tab> tabs) {
    std::string line = "tabs";
    for (const ui::Tab& tab : tabs) line += " " + tab.title;
    record(line);
    navigation_.setTabs(std::move(tabs));
}

void FakeUi::selectTab(int index) {
    record("tab " + std::to_string(index));
    navigation_.selectTab(index);
}

void FakeUi::push(ui::Screen& from, std::shared_ptr<ui::Screen> screen) {
    if (screen) record("push " + titleOf(*screen));
    navigation_.push(from, std::move(screen));
}

void FakeUi::pop(ui::Screen& screen) {
    record("pop " + titleOf(screen));
    navigation_.pop(screen);
}

void FakeUi::presentModal(ui::Screen& from, std::shared_ptr<ui::Screen> screen) {
    if (screen) record("modal " + titleOf(*screen));
    navigation_.presentModal(from, std::move(screen));
}

void FakeUi::dismissModal(ui::Screen& screen) {
    record("dismiss " + titleOf(screen));
    navigation_.dismissModal(screen);
}

void FakeUi::setBadge(int tab, std::optional<std::string> badge) {
    record("badge " + std::to_string(tab) + " " + badge.value_or("(nessuno)"));
    badges_[tab] = std::move(badge);
}

void FakeUi::reload(ui::Screen& screen) { (void)screen; }

void FakeUi::scrollTo(ui::Screen& screen, ui::IndexPath where, ui::ScrollPosition position) {
    (void)screen, (void)position;
    record("scroll " + std::to_string(where.section) + " " + std::to_string(where.row));
    lastScroll_ = where;
}

void FakeUi::focusField(ui::Screen& screen, int tag) {
    (void)screen;
    record("focus " + std::to_string(tag));
}

void FakeUi::endEditing(ui::Screen& screen) {
    (void)screen;
    record("endEditing");
}

ui::TimerId FakeUi::startTimer(std::chrono::milliseconds delay, std::function<void()> fire) {
    record("timer " + std::to_string(delay.count()) + "ms");
    timers_.push_back({nextTimer_, now_ + delay, std::move(fire)});
    return nextTimer_++;
}

void FakeUi::cancelTimer(ui::TimerId timer) {
    std::erase_if(timers_, [timer](const Timer& t) { return t.id == timer; });
}

void FakeUi::postToMain(std::function<void()> task) {
    {
        std::lock_guard lock(mainMutex_);
        mainTasks_.push_back(std::move(task));
    }
    mainPosted_.notify_all();
}

void FakeUi::playSound(ui::Sound sound) {
    record(sound == ui::Sound::Beep ? "sound beep" : "sound 1002");
    sounds_.push_back(sound);
}

void FakeUi::setKeepAwake(bool awake) {
    record(awake ? "keepAwake on" : "keepAwake off");
    keepAwake_ = awake;
}

bool FakeUi::sawEvent(const std::string& line) const {
    return std::find(events_.begin(), events_.end(), line) != events_.end();
}

const ui::Alert* FakeUi::lastAlert() const { return alerts_.empty() ? nullptr : &alerts_.back().alert; }

bool FakeUi::sawAlert(const std::optional<std::string>& title, const std::string& message) const {
    return std::any_of(alerts_.begin(), alerts_.end(), [&](const ShownAlert& shown) {
        return shown.alert.title == title && shown.alert.message == message;
    });
}

std::optional<std::string> FakeUi::badge(int tab) const {
    auto found = badges_.find(tab);
    return found == badges_.end() ? std::nullopt : found->second;
}

void FakeUi::advance(std::chrono::milliseconds delay) {
    const auto until = now_ + delay;
    for (;;) {
        auto next = std::min_element(timers_.begin(), timers_.end(),
                                     [](const Timer& a, const Timer& b) { return a.due < b.due; });
        if (next == timers_.end() || next->due > until) break;
        Timer due = std::move(*next);
        timers_.erase(next);
        now_ = due.due;
        due.fire();
    }
    now_ = until;
}

int FakeUi::drainMain() {
    int ran = 0;
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(mainMutex_);
            if (mainTasks_.empty()) return ran;
            task = std::move(mainTasks_.front());
            mainTasks_.pop_front();
        }
        task();
        ++ran;
    }
}

bool FakeUi::waitForTask(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mainMutex_);
    return mainPosted_.wait_for(lock, timeout, [this] { return !mainTasks_.empty(); });
}

}  // namespace torvane::test
