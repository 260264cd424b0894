#include "LoginThrottle.h"

#include <algorithm>

namespace torvane::fiera {

std::chrono::milliseconds LoginThrottle::pauseFor(int failures) const {
    if (failures < freeFailures) return std::chrono::milliseconds(0);
    const int doublings = std::min(failures - freeFailures, 16);
    return std::min<std::chrono::milliseconds>(firstPause * (1 << doublings), longestPause);
}

std::optional<LoginThrottle::Clock::time_point> LoginThrottle::turn(const std::string& address, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    auto found = records_.find(address);
    if (found == records_.end()) return now;
    Record& record = found->second;
    if (now - record.lastFailure > memory) {
        records_.erase(found);
        return now;
    }
    const auto pause = pauseFor(record.failures);
    if (pause.count() == 0) return now;
    const Clock::time_point at = std::max({now, record.nextTurn, record.lastFailure + pause});
    if (at - now > longestPause) return std::nullopt;
    record.nextTurn = at + pause;
    return at;
}

void LoginThrottle::failed(const std::string& address, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (records_.size() >= maxAddresses && records_.find(address) == records_.end()) forgetOld(now);
    Record& record = records_[address];
    ++record.failures;
    record.lastFailure = now;
}

void LoginThrottle::forgetOld(Clock::time_point now) {
    for (auto it = records_.begin(); it != records_.end();)
        it = now - it->second.lastFailure > memory ? records_.erase(it) : std::next(it);
    // Still full: the addresses that failed longest ago go first.
    while (records_.size() >= maxAddresses) {
        auto oldest = std::min_element(records_.begin(), records_.end(), [](const auto& a, const auto& b) {
            return a.second.lastFailure < b.second.lastFailure;
        });
        records_.erase(oldest);
    }
}

}  // namespace torvane::fiera
