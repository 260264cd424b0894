#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Alert.h"
#include "platform/ui/ScreenModel.h"

namespace torvane::ui {

class Screen;

struct Tab {
    std::string title;
    std::string icon;
    std::shared_ptr<Screen> root;
};

enum class Sound { Beep, System1002 };

using TimerId = unsigned long long;

// Everything the platform does for a screen. The Qt front end, the recording fake of the
// tests and the script runner of the CLI each implement it.
class Ui {
public:
    virtual ~Ui() = default;

    // Alerts and action sheets are answered later, through the handler (which may be empty).
    virtual void showAlert(Alert alert, AlertHandler onAnswer = {}) = 0;
    // A modal prompt that holds the caller until it is answered. None when the platform
    // cannot hold one.
    virtual std::optional<AlertAnswer> runModalPrompt(const Alert& alert) = 0;

    // Navigation: the tab bar of navigation stacks, pushes onto the stack `from` is in,
    // modal screens over everything.
    virtual void showTabs(std::vector<Tab> tabs) = 0;
    virtual void selectTab(int index) = 0;
    virtual void push(Screen& from, std::shared_ptr<Screen> screen) = 0;
    virtual void pop(Screen& screen) = 0;
    virtual void presentModal(Screen& from, std::shared_ptr<Screen> screen) = 0;
    virtual void dismissModal(Screen& screen) = 0;
    // Badge of a tab; none removes it.
    virtual void setBadge(int tab, std::optional<std::string> badge) = 0;

    // Drawing requests.
    virtual void reload(Screen& screen) = 0;
    // Only these rows changed (the number of rows did not); by default the whole screen.
    virtual void reloadRows(Screen& screen, const std::vector<IndexPath>& rows) {
        (void)rows;
        reload(screen);
    }
    virtual void scrollTo(Screen& screen, IndexPath where, ScrollPosition position) = 0;
    virtual void focusField(Screen& screen, int tag) = 0;
    virtual void endEditing(Screen& screen) = 0;

    // Time and threads. `postToMain` may be called from any thread; the rest from the main one.
    virtual TimerId startTimer(std::chrono::milliseconds delay, std::function<void()> fire) = 0;
    virtual void cancelTimer(TimerId timer) = 0;
    virtual void postToMain(std::function<void()> task) = 0;
    // Runs long work (a catalogue load) off the main thread; it reports back through
    // `postToMain`. A platform without threads of its own (a script, a test) runs it at once,
    // and what it posted is delivered afterwards, in order.
    virtual void runInBackground(std::function<void()> work) { work(); }

    // Asks the person for a picture (a file chooser, or a camera where there is one); its file
    // reaches `chosen`, none when the person gave up or the platform has no way to ask.
    virtual void chooseImage(Screen& from, std::function<void(std::optional<std::string> path)> chosen) {
        (void)from;
        chosen(std::nullopt);
    }

    // Device.
    virtual void playSound(Sound sound) = 0;
    virtual void setKeepAwake(bool awake) = 0;
};

}  // namespace torvane::ui
