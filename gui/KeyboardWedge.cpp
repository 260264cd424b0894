#include "KeyboardWedge.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <algorithm>

#include "devices/SledScanner.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

namespace torvane::gui {

namespace {
// Keeps a configured interval within what a scanner and a person can tell apart.
constexpr int kShortestInterval = 5;
constexpr int kLongestInterval = 200;
}  // namespace

KeyboardWedge::Settings KeyboardWedge::Settings::fromPreferences() {
    const Preferences& prefs = Preferences::standard();
    Settings settings;
    if (prefs.objectForKey(keys::pref_WEDGEENABLED)) settings.enabled = prefs.boolForKey(keys::pref_WEDGEENABLED);
    if (prefs.objectForKey(keys::pref_WEDGEMAXINTERVALMS)) {
        const long long ms = prefs.integerForKey(keys::pref_WEDGEMAXINTERVALMS);
        settings.maxIntervalMs = static_cast<int>(std::clamp<long long>(ms, kShortestInterval, kLongestInterval));
    }
    return settings;
}

KeyboardWedge::KeyboardWedge(Settings settings, QObject* parent)
    : KeyboardWedge(
          settings,
          [](const std::string& code) {
              SledScanner& sled = SledScanner::sharedDevice();
              if (sled.delegates().empty()) return false;
              sled.deliverTypedScan(code);
              return true;
          },
          parent) {}

KeyboardWedge::KeyboardWedge(Settings settings, Deliver deliver, QObject* parent)
    : QObject(parent), settings_(settings), deliver_(std::move(deliver)) {
    pause_.setSingleShot(true);
    pause_.setInterval(settings_.maxIntervalMs);
    connect(&pause_, &QTimer::timeout, this, [this] { release(); });
}

bool KeyboardWedge::isBurstCharacter(const QKeyEvent& key) {
    if (key.isAutoRepeat() || key.text().size() != 1) return false;
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    return key.text().at(0).isPrint();
}

bool KeyboardWedge::isModifierOnly(const QKeyEvent& key) {
    switch (key.key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_CapsLock: return true;
        default: return false;
    }
}

bool KeyboardWedge::movesPointer(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::TouchBegin:
        case QEvent::TabletPress:
        case QEvent::Wheel: return true;
        default: return false;
    }
}

bool KeyboardWedge::isTerminator(const QKeyEvent& key) {
    return !key.isAutoRepeat() && (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter || key.key() == Qt::Key_Tab);
}

bool KeyboardWedge::withinInterval() const {
    return sinceLastKey_.isValid() && sinceLastKey_.elapsed() <= settings_.maxIntervalMs;
}

bool KeyboardWedge::eventFilter(QObject* watched, QEvent* event) {
    if (!settings_.enabled || releasing_) return false;
    // A click may move the focus: the keys typed before it go to the field they were typed in.
    if (!held_.empty() && movesPointer(event->type())) release();
    if (event->type() != QEvent::KeyPress) return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);

    // A scanner presses Shift for a capital letter as a keyboard does: a modifier alone
    // neither ends nor breaks a burst.
    if (isModifierOnly(key)) return false;
    if (isBurstCharacter(key)) {
        if (!held_.empty() && !withinInterval()) release();  // a pause: that was a person
        hold(watched, key);
        return true;
    }
    if (isTerminator(key) && static_cast<int>(held_.size()) >= settings_.minLength && withinInterval()) {
        pause_.stop();
        std::vector<HeldKey> burst;
        burst.swap(held_);
        HeldKey terminator{watched, key.key(), key.modifiers(), key.text()};
        // Delivered outside the key event: a screen may answer a scan with a modal prompt.
        QTimer::singleShot(0, this, [this, burst = std::move(burst), terminator]() mutable {
            const std::string code = textOf(burst);
            if (deliver_ && deliver_(code)) {
                Log::f("Lettura da scanner a tastiera: %@", code);
                return;
            }
            // No screen takes scans: the keys are typed into the field after all.
            burst.push_back(terminator);
            send(burst);
        });
        return true;
    }
    release();  // any other key: the held ones first, in their order
    return false;
}

void KeyboardWedge::hold(QObject* target, const QKeyEvent& key) {
    held_.push_back({target, key.key(), key.modifiers(), key.text()});
    sinceLastKey_.start();
    pause_.start();
}

void KeyboardWedge::release() {
    pause_.stop();
    std::vector<HeldKey> keys;
    keys.swap(held_);
    send(keys);
}

void KeyboardWedge::send(const std::vector<HeldKey>& keys) {
    releasing_ = true;
    for (const HeldKey& held : keys) {
        if (!held.target) continue;  // its widget is gone
        QKeyEvent press(QEvent::KeyPress, held.key, held.modifiers, held.text);
        QCoreApplication::sendEvent(held.target, &press);
        if (!held.target) continue;
        QKeyEvent up(QEvent::KeyRelease, held.key, held.modifiers, held.text);
        QCoreApplication::sendEvent(held.target, &up);
    }
    releasing_ = false;
}

std::string KeyboardWedge::textOf(const std::vector<HeldKey>& keys) {
    QString text;
    for (const HeldKey& held : keys) text += held.text;
    return text.toStdString();
}

}  // namespace torvane::gui
