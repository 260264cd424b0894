#include "mail/OutboxSender.h"

#include <algorithm>

#include "platform/Log.h"

namespace torvane {

namespace {
std::atomic<OutboxSender*> current{nullptr};
}  // namespace

OutboxSender::OutboxSender(Outbox outbox) : OutboxSender(std::move(outbox), Schedule{}) {}

OutboxSender::OutboxSender(Outbox outbox, Schedule schedule)
    : outbox_(std::move(outbox)), schedule_(schedule), delay_(schedule.first) {
    thread_ = std::thread([this] { work(); });
    current = this;
}

OutboxSender::~OutboxSender() {
    OutboxSender* self = this;
    current.compare_exchange_strong(self, nullptr);
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

OutboxSender* OutboxSender::shared() { return current; }

void OutboxSender::drainNow(std::optional<SmtpSettings> settings, bool everything) {
    {
        std::lock_guard lock(mutex_);
        settings_ = std::move(settings);
        wanted_ = true;
        everything_ = everything_ || everything;
    }
    wake_.notify_all();
}

void OutboxSender::setOnChange(std::function<void()> changed) {
    std::lock_guard lock(mutex_);
    changed_ = std::move(changed);
}

void OutboxSender::notifyChange() {
    std::function<void()> changed;
    {
        std::lock_guard lock(mutex_);
        changed = changed_;
    }
    if (changed) changed();
}

void OutboxSender::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || wanted_ || retryAt_; });
        if (!stopping_ && !wanted_ && retryAt_)
            wake_.wait_until(lock, *retryAt_, [this] { return stopping_.load() || wanted_; });
        if (stopping_) return;
        if (!wanted_ && retryAt_ && std::chrono::steady_clock::now() < *retryAt_) continue;
        const bool everything = everything_;
        const auto settings = settings_;
        wanted_ = everything_ = false;
        retryAt_.reset();
        if (!settings) continue;  // no server: the messages wait until one is set and asked for
        lock.unlock();

        sending_ = true;
        notifyChange();
        const auto results =
            outbox_.sendAll(SmtpSender(*settings, &stopping_), everything ? OutboxRun::Everything : OutboxRun::Retry);
        const bool anyToRetry = std::any_of(results.begin(), results.end(),
                                            [](const OutboxSendResult& r) { return !r.sent && !r.refused; });
        sending_ = false;
        ++runs_;
        notifyChange();

        lock.lock();
        if (anyToRetry && !stopping_) {
            retryAt_ = std::chrono::steady_clock::now() + delay_;
            Log::f("Posta in uscita: nuovo tentativo tra %d s",
                   static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(delay_).count()));
            delay_ = std::min(delay_ * 2, schedule_.longest);
        } else {
            delay_ = schedule_.first;
        }
    }
}

}  // namespace torvane
