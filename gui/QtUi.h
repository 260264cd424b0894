#pragma once

#include <QObject>
#include <map>
#include <memory>

#include "platform/ui/NavigationStacks.h"
#include "platform/ui/Ui.h"

class QTimer;

namespace torvane::gui {

class MainWindow;

// The UI port on Qt: navigation through the main window, alerts as dialogs, timers as
// QTimers, main-thread dispatch through the event loop.
class QtUi : public QObject, public ui::Ui {
    Q_OBJECT
public:
    QtUi();
    ~QtUi() override;

    MainWindow& window() const { return *window_; }

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
    void reloadRows(ui::Screen& screen, const std::vector<ui::IndexPath>& rows) override;
    void scrollTo(ui::Screen& screen, ui::IndexPath where, ui::ScrollPosition position) override;
    void focusField(ui::Screen& screen, int tag) override;
    void endEditing(ui::Screen& screen) override;
    ui::TimerId startTimer(std::chrono::milliseconds delay, std::function<void()> fire) override;
    void cancelTimer(ui::TimerId timer) override;
    void postToMain(std::function<void()> task) override;
    void runInBackground(std::function<void()> work) override;
    void chooseImage(ui::Screen& from, std::function<void(std::optional<std::string>)> chosen) override;
    void playSound(ui::Sound sound) override;
    void setKeepAwake(bool awake) override;

private:
    ui::NavigationStacks navigation_;
    std::unique_ptr<MainWindow> window_;
    std::map<ui::TimerId, QTimer*> timers_;
    // Badges are kept here too: the first screen sets its badge while it appears, before the
    // window has built the tabs it would go on.
    std::map<int, std::string> badges_;
    ui::TimerId nextTimer_ = 1;
};

}  // namespace torvane::gui
