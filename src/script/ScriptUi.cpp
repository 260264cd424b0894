#include "script/ScriptUi.h"

#include <algorithm>

#include "platform/ui/Screen.h"
#include "script/ScreenItems.h"

namespace torvane::script {

namespace {
// Alert texts can span lines; a script line shows them as "\n" so each alert stays one line.
std::string oneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\n') line += "\\n";
        else if (c != '\r') line += c;
    }
    return line;
}
}  // namespace

ScriptUi::ScriptUi(Print print) : print_(std::move(print)) {}

std::string ScriptUi::describe(const ui::Alert& alert) {
    std::string line = "ALERT " + oneLine(alert.title.value_or("(senza titolo)")) + " | " + oneLine(alert.message) + " | [";
    for (std::size_t i = 0; i < alert.buttons.size(); ++i) line += (i ? "|" : "") + oneLine(alert.buttons[i]);
    return line + "]";
}

void ScriptUi::showAlert(ui::Alert alert, ui::AlertHandler onAnswer) {
    lastAlert_ = describe(alert);
    print_(*lastAlert_);
    open_.push_back({std::move(alert), std::move(onAnswer)});
}

std::optional<ui::AlertAnswer> ScriptUi::runModalPrompt(const ui::Alert& alert) {
    lastAlert_ = describe(alert);
    print_(*lastAlert_);
    if (!answerPrompt_) return std::nullopt;
    auto answer = answerPrompt_(alert);
    if (answer) answer->tag = alert.tag;
    return answer;
}

void ScriptUi::answerOldest(const ui::AlertAnswer& answer) {
    if (open_.empty()) return;
    OpenAlert alert = std::move(open_.front());
    open_.pop_front();
    ui::AlertAnswer given = answer;
    given.tag = alert.alert.tag;
    given.texts.resize(alert.alert.textFields.size());
    if (alert.handler) alert.handler(given);
}

void ScriptUi::showTabs(std::vector<ui::Tab> tabs) { navigation_.setTabs(std::move(tabs)); }

void ScriptUi::selectTab(int index) {
    finishEditing();
    navigation_.selectTab(index);
}

void ScriptUi::push(ui::Screen& from, std::shared_ptr<ui::Screen> screen) {
    finishEditing();
    navigation_.push(from, std::move(screen));
}

void ScriptUi::pop(ui::Screen& screen) {
    finishEditing();
    navigation_.pop(screen);
}

void ScriptUi::presentModal(ui::Screen& from, std::shared_ptr<ui::Screen> screen) {
    finishEditing();
    navigation_.presentModal(from, std::move(screen));
}

void ScriptUi::dismissModal(ui::Screen& screen) {
    finishEditing();
    navigation_.dismissModal(screen);
}

void ScriptUi::setBadge(int tab, std::optional<std::string> badge) {
    if (badge) badges_[tab] = *badge;
    else badges_.erase(tab);
}

std::optional<std::string> ScriptUi::badge(int tab) const {
    auto found = badges_.find(tab);
    if (found == badges_.end()) return std::nullopt;
    return found->second;
}

// The script reads the screen afresh at every `show`: nothing to draw in between.
void ScriptUi::reload(ui::Screen& screen) { (void)screen; }

void ScriptUi::scrollTo(ui::Screen& screen, ui::IndexPath where, ui::ScrollPosition position) {
    (void)screen, (void)where, (void)position;
}

void ScriptUi::focusField(ui::Screen& screen, int tag) {
    ui::Screen& shown = screen.outermost();
    if (editing_ && editing_->screen == &shown && editing_->tag == tag) return;
    finishEditing();
    editing_ = Editing{&shown, tag, {}, false};
    shown.textFieldDidBeginEditing(tag);
}

void ScriptUi::endEditing(ui::Screen& screen) {
    if (editing_ && editing_->screen == &screen.outermost()) finishEditing();
}

void ScriptUi::beginEditing(ui::Screen& screen, int tag, std::string text) {
    finishEditing();
    editing_ = Editing{&screen, tag, std::move(text)};
    screen.textFieldDidBeginEditing(tag);
}

void ScriptUi::setEditingText(std::string text) {
    if (!editing_) return;
    editing_->text = std::move(text);
    editing_->typed = true;
}

void ScriptUi::finishEditing() {
    if (!editing_) return;
    Editing ended = std::move(*editing_);
    editing_.reset();
    // The screen may be gone from the navigation already; it is still alive while its
    // caller runs, and only a shown screen is told.
    if (!navigation_.placeOf(*ended.screen)) return;
    // Taking the focus is not typing: the field keeps the text it shows, as in the window, and a
    // field gone meanwhile reports nothing rather than an empty text.
    if (!ended.typed) {
        auto field = ScreenItems::fieldWithTag(*ended.screen, ended.tag);
        if (!field) return;
        ended.text = field->text;
    }
    ended.screen->textFieldDidEndEditing(ended.tag, ended.text);
}

ui::TimerId ScriptUi::startTimer(std::chrono::milliseconds delay, std::function<void()> fire) {
    timers_.push_back({nextTimer_, now_ + std::max(delay, std::chrono::milliseconds(0)), std::move(fire)});
    return nextTimer_++;
}

void ScriptUi::cancelTimer(ui::TimerId timer) {
    std::erase_if(timers_, [timer](const Timer& t) { return t.id == timer; });
}

void ScriptUi::postToMain(std::function<void()> task) {
    {
        std::lock_guard lock(mainMutex_);
        mainTasks_.push_back(std::move(task));
    }
    mainPosted_.notify_all();
}

void ScriptUi::chooseImage(ui::Screen& from, std::function<void(std::optional<std::string>)> chosen) {
    (void)from;
    print_("SCELTA IMMAGINE (photo FILE)");
    imageChoice_ = std::move(chosen);
}

bool ScriptUi::answerImageChoice(std::optional<std::string> path) {
    if (!imageChoice_) return false;
    auto chosen = std::move(imageChoice_);
    imageChoice_ = nullptr;
    chosen(std::move(path));
    return true;
}

void ScriptUi::playSound(ui::Sound sound) { print_(sound == ui::Sound::Beep ? "BEEP" : "SUONO 1002"); }

void ScriptUi::setKeepAwake(bool awake) { (void)awake; }

bool ScriptUi::runNextDueTimer(std::chrono::milliseconds until) {
    auto next = std::min_element(timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) {
        return a.due < b.due || (a.due == b.due && a.id < b.id);
    });
    if (next == timers_.end() || next->due > until) return false;
    Timer due = std::move(*next);
    timers_.erase(next);
    now_ = due.due;
    due.fire();
    return true;
}

void ScriptUi::advance(std::chrono::milliseconds delay) {
    const auto until = now_ + delay;
    for (;;) {
        settle();
        if (!runNextDueTimer(until)) break;
    }
    now_ = until;
    settle();
}

int ScriptUi::settle() {
    // A screen that keeps rescheduling itself at once must not hold the script for ever.
    constexpr int kMostTasks = 100000;
    int ran = 0;
    while (ran < kMostTasks) {
        int now = drainMain();
        if (runNextDueTimer(now_)) ++now;
        if (now == 0) break;
        ran += now;
    }
    return ran;
}

void ScriptUi::showFirstRows() {
    ui::Screen* screen = visible();
    if (!screen || !screen->followsRowsShown()) return;
    std::vector<ui::IndexPath> rows;
    for (int section = 0; section < screen->numberOfSections() && static_cast<int>(rows.size()) < kRowsOnScreen; ++section)
        for (int row = 0; row < screen->numberOfRows(section) && static_cast<int>(rows.size()) < kRowsOnScreen; ++row)
            rows.push_back({section, row});
    screen->rowsShown(rows);
}

int ScriptUi::drainMain() {
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

bool ScriptUi::waitForTask(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mainMutex_);
    return mainPosted_.wait_for(lock, timeout, [this] { return !mainTasks_.empty(); });
}

}  // namespace torvane::script
