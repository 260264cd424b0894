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
#include "platform/ui/Ui.h"

namespace torvane::script {

// The platform of a script: the navigation kept as the window keeps it, alerts printed as one
// line each and left open until the script answers them, prompts answered by the script's
// next line, timers on virtual time (nothing sleeps) and a main-thread queue the runner drains
// between lines.
class ScriptUi : public ui::Ui {
public:
    using Print = std::function<void(const std::string&)>;
    // Answers a blocking prompt; none when it could not be answered.
    using PromptAnswerer = std::function<std::optional<ui::AlertAnswer>(const ui::Alert&)>;

    explicit ScriptUi(Print print);

    void setPromptAnswerer(PromptAnswerer answerer) { answerPrompt_ = std::move(answerer); }

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
    void chooseImage(ui::Screen& from, std::function<void(std::optional<std::string>)> chosen) override;
    void playSound(ui::Sound sound) override;
    void setKeepAwake(bool awake) override;

    // The one line an alert is printed as: "ALERT title | message | [b1|b2]".
    static std::string describe(const ui::Alert& alert);

    // Alerts still open, oldest first.
    bool hasOpenAlert() const { return !open_.empty(); }
    const ui::Alert& oldestAlert() const { return open_.front().alert; }
    // Answers the oldest open alert; its handler runs.
    void answerOldest(const ui::AlertAnswer& answer);
    // The line of the last alert shown since `forgetLastAlert`.
    const std::optional<std::string>& lastAlert() const { return lastAlert_; }
    void forgetLastAlert() { lastAlert_.reset(); }

    ui::NavigationStacks& navigation() { return navigation_; }
    const ui::NavigationStacks& navigation() const { return navigation_; }
    ui::Screen* visible() const { return navigation_.visible(); }
    std::optional<std::string> badge(int tab) const;

    // The field being typed in, as the screen asked or the script began it. An edit the screen
    // began by giving a field the focus has no text of its own until something is typed.
    struct Editing {
        ui::Screen* screen = nullptr;
        int tag = 0;
        std::string text;
        bool typed = true;
    };
    const std::optional<Editing>& editing() const { return editing_; }
    void beginEditing(ui::Screen& screen, int tag, std::string text);
    void setEditingText(std::string text);
    // Ends the edit under way, if any: the screen receives the text typed, or the field's own
    // text when nothing was typed since it took the focus.
    void finishEditing();

    // The picture a screen asked for, answered by `photo FILE`; false when none was asked.
    bool answerImageChoice(std::optional<std::string> path);

    // Virtual time: runs, in due order, every timer due within `delay`.
    void advance(std::chrono::milliseconds delay);
    // Runs the main-thread tasks and the timers due now until none is left; how many ran.
    int settle();
    // A script sees the first rows of the screen in front, as a window would show them; a
    // screen that follows them is told.
    static constexpr int kRowsOnScreen = 10;
    void showFirstRows();
    // Waits (really) for a task posted from another thread; false on time-out.
    bool waitForTask(std::chrono::milliseconds timeout);

private:
    struct OpenAlert {
        ui::Alert alert;
        ui::AlertHandler handler;
    };
    struct Timer {
        ui::TimerId id;
        std::chrono::milliseconds due;
        std::function<void()> fire;
    };
    int drainMain();
    bool runNextDueTimer(std::chrono::milliseconds until);

    Print print_;
    PromptAnswerer answerPrompt_;
    std::deque<OpenAlert> open_;
    std::optional<std::string> lastAlert_;
    ui::NavigationStacks navigation_;
    std::map<int, std::string> badges_;
    std::optional<Editing> editing_;
    std::function<void(std::optional<std::string>)> imageChoice_;
    std::vector<Timer> timers_;
    std::chrono::milliseconds now_{0};
    ui::TimerId nextTimer_ = 1;
    std::mutex mainMutex_;
    std::condition_variable mainPosted_;
    std::deque<std::function<void()>> mainTasks_;
};

}  // namespace torvane::script
