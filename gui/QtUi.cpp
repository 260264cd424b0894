#include "QtUi.h"

#include <QFileDialog>
#include <QThreadPool>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "AlertDialog.h"
#include "MainWindow.h"
#include "ScreenWidget.h"

namespace torvane::gui {

QtUi::QtUi() : window_(std::make_unique<MainWindow>(navigation_)) {}

QtUi::~QtUi() = default;

void QtUi::showAlert(ui::Alert alert, ui::AlertHandler onAnswer) {
    auto* dialog = new AlertDialog(alert, window_.get());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [dialog, onAnswer] {
        if (onAnswer) onAnswer(dialog->answer());
    });
    dialog->open();
}

std::optional<ui::AlertAnswer> QtUi::runModalPrompt(const ui::Alert& alert) {
    AlertDialog dialog(alert, window_.get());
    dialog.exec();
    return dialog.answer();
}

void QtUi::showTabs(std::vector<ui::Tab> tabs) {
    badges_.clear();
    navigation_.setTabs(std::move(tabs));
    window_->sync();
    for (const auto& [tab, badge] : badges_) window_->setBadge(tab, QString::fromStdString(badge));
}

void QtUi::selectTab(int index) {
    navigation_.selectTab(index);
    window_->sync();
}

void QtUi::push(ui::Screen& from, std::shared_ptr<ui::Screen> screen) {
    navigation_.push(from, std::move(screen));
    window_->sync();
}

void QtUi::pop(ui::Screen& screen) {
    navigation_.pop(screen);
    window_->sync();
}

void QtUi::presentModal(ui::Screen& from, std::shared_ptr<ui::Screen> screen) {
    navigation_.presentModal(from, std::move(screen));
    window_->sync();
}

void QtUi::dismissModal(ui::Screen& screen) {
    navigation_.dismissModal(screen);
    window_->sync();
}

void QtUi::setBadge(int tab, std::optional<std::string> badge) {
    if (badge) badges_[tab] = *badge;
    else badges_.erase(tab);
    window_->setBadge(tab, QString::fromStdString(badge.value_or("")));
}

void QtUi::reload(ui::Screen& screen) {
    if (ScreenWidget* widget = window_->widgetFor(screen)) widget->scheduleRefresh();
}

void QtUi::reloadRows(ui::Screen& screen, const std::vector<ui::IndexPath>& rows) {
    if (ScreenWidget* widget = window_->widgetFor(screen)) widget->scheduleRowReload(rows);
}

void QtUi::scrollTo(ui::Screen& screen, ui::IndexPath where, ui::ScrollPosition position) {
    ScreenWidget* widget = window_->widgetFor(screen);
    if (!widget) return;
    // After the pending redraw, so the row exists.
    QTimer::singleShot(0, widget, [widget, where, position] { widget->scrollTo(where, position); });
}

void QtUi::focusField(ui::Screen& screen, int tag) {
    ScreenWidget* widget = window_->widgetFor(screen);
    if (!widget) return;
    QTimer::singleShot(0, widget, [widget, tag] { widget->focusField(tag); });
}

void QtUi::endEditing(ui::Screen& screen) {
    ScreenWidget* widget = window_->widgetFor(screen);
    if (widget) widget->endEditing();
}

ui::TimerId QtUi::startTimer(std::chrono::milliseconds delay, std::function<void()> fire) {
    const ui::TimerId id = nextTimer_++;
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this, id, timer, fire = std::move(fire)] {
        timers_.erase(id);
        timer->deleteLater();
        fire();
    });
    timers_[id] = timer;
    timer->start(delay);
    return id;
}

void QtUi::cancelTimer(ui::TimerId id) {
    auto found = timers_.find(id);
    if (found == timers_.end()) return;
    found->second->stop();
    found->second->deleteLater();
    timers_.erase(found);
}

void QtUi::postToMain(std::function<void()> task) {
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

// The global pool waits for its work when the application quits, so a load is never cut off
// with the store half-written.
void QtUi::runInBackground(std::function<void()> work) { QThreadPool::globalInstance()->start(std::move(work)); }

// A window has no camera: the person picks a picture file. The chooser is asked for after the
// current event, so the screen that asked is never re-entered from inside its own call.
void QtUi::chooseImage(ui::Screen& from, std::function<void(std::optional<std::string>)> chosen) {
    (void)from;
    QTimer::singleShot(0, window_.get(), [this, chosen = std::move(chosen)] {
        const QString path = QFileDialog::getOpenFileName(window_.get(), "Foto del cliente", QString(),
                                                          "Immagini (*.png *.jpg *.jpeg)");
        chosen(path.isEmpty() ? std::nullopt : std::optional<std::string>(path.toStdString()));
    });
}

void QtUi::playSound(ui::Sound sound) {
    (void)sound;
    QApplication::beep();
}

void QtUi::setKeepAwake(bool awake) {
    // A desktop does not put the application to sleep during a download; nothing to hold off.
    (void)awake;
}

}  // namespace torvane::gui
