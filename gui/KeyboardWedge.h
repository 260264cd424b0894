#pragma once

#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

class QKeyEvent;

namespace torvane::gui {

// A barcode scanner in keyboard mode types its code much faster than a person and ends it
// with Enter or Tab. Installed on the application, this filter holds back printable keys
// while they come faster than `maxIntervalMs` apart; a burst of at least `minLength`
// characters ended by Enter or Tab just as fast is taken as a scan and handed to `deliver`
// (on the next turn of the event loop, never inside the key event), and none of its keys
// reaches the focused field. Anything else (a pause, another key, a click, a short burst, a
// scan no screen takes) gives the held keys to the widgets they were meant for, in their order, so a
// person's typing arrives as typed, at most one interval late.
class KeyboardWedge : public QObject {
    Q_OBJECT
public:
    struct Settings {
        bool enabled = true;
        int maxIntervalMs = 30;
        int minLength = 4;
        // The device settings `pref_WEDGEENABLED` and `pref_WEDGEMAXINTERVALMS`.
        static Settings fromPreferences();
    };
    // Whether a screen took the scan; when none did, the keys go to the field after all.
    using Deliver = std::function<bool(const std::string& code)>;

    // Delivers to the screens in front that take sled scans.
    explicit KeyboardWedge(Settings settings, QObject* parent = nullptr);
    KeyboardWedge(Settings settings, Deliver deliver, QObject* parent = nullptr);

    const Settings& settings() const { return settings_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct HeldKey {
        QPointer<QObject> target;
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
    };
    static bool isBurstCharacter(const QKeyEvent& key);
    static bool isTerminator(const QKeyEvent& key);
    static bool isModifierOnly(const QKeyEvent& key);
    // A press or a wheel turn, which may move the focus away from the field typed in.
    static bool movesPointer(QEvent::Type type);
    bool withinInterval() const;
    void hold(QObject* target, const QKeyEvent& key);
    // Gives the held keys to their widgets, as presses and releases, in their order.
    void release();
    void send(const std::vector<HeldKey>& keys);
    static std::string textOf(const std::vector<HeldKey>& keys);

    Settings settings_;
    Deliver deliver_;
    std::vector<HeldKey> held_;
    QElapsedTimer sinceLastKey_;
    QTimer pause_;  // fires when the burst stops without a terminator
    bool releasing_ = false;
};

}  // namespace torvane::gui
