#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "mail/Outbox.h"
#include "mail/SmtpSender.h"

namespace torvane {

// Drains the outbox on a thread of its own while the application runs: when asked (at start,
// after a message is saved, from the settings screen) and, while messages wait, again after
// 30 s, then twice as long each time up to 10 minutes. Messages refused for good wait for the
// person to ask. The waits run on the monotonic clock, so a clock moved back changes nothing;
// the outbox's lock keeps other processes' senders from sending the same message.
//
// The one made by the front end is reachable through `shared()` for as long as it lives.
class OutboxSender {
public:
    struct Schedule {
        std::chrono::milliseconds first{std::chrono::seconds(30)};
        std::chrono::milliseconds longest{std::chrono::minutes(10)};
    };

    explicit OutboxSender(Outbox outbox = Outbox());
    OutboxSender(Outbox outbox, Schedule schedule);
    ~OutboxSender();  // ends a sending under way and waits for the thread
    OutboxSender(const OutboxSender&) = delete;
    OutboxSender& operator=(const OutboxSender&) = delete;

    static OutboxSender* shared();

    // Sends now with these settings (read from the preferences on the main thread; none: no
    // server set, nothing can go). `everything` also sends the messages refused for good.
    void drainNow(std::optional<SmtpSettings> settings, bool everything = false);
    // Called on the sender's thread after each run, and when a run starts.
    void setOnChange(std::function<void()> changed);
    bool isSending() const { return sending_; }
    // Runs finished so far (tests and the benchmark wait on it).
    int runs() const { return runs_; }

private:
    void work();
    void notifyChange();

    Outbox outbox_;
    Schedule schedule_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<SmtpSettings> settings_;
    bool wanted_ = false;
    bool everything_ = false;
    std::optional<std::chrono::steady_clock::time_point> retryAt_;
    std::chrono::milliseconds delay_;
    std::function<void()> changed_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> sending_{false};
    std::atomic<int> runs_{0};
    std::thread thread_;
};

}  // namespace torvane
