#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace torvane::fiera {

// Slows password guessing per address: after `freeFailures` failed logins from one address,
// each login from it waits its turn, one second apart at first, twice as long after each
// further failure, up to `longestPause`. Turns are handed out in order, so many connections
// at once from the same address gain nothing, and other addresses never wait. Failures are
// forgotten after `memory` without one (a success forgets nothing: a known account must not
// reset the count for guesses at another).
class LoginThrottle {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int freeFailures = 5;
    static constexpr std::chrono::seconds firstPause{1}, longestPause{30}, memory{std::chrono::minutes(10)};
    static constexpr std::size_t maxAddresses = 4096;

    // When a login from `address` may be answered (now, or a moment ahead); none when its turn
    // would be further than `longestPause` away: it is refused instead.
    std::optional<Clock::time_point> turn(const std::string& address, Clock::time_point now);
    void failed(const std::string& address, Clock::time_point now);

private:
    struct Record {
        int failures = 0;
        Clock::time_point lastFailure, nextTurn;
    };
    std::chrono::milliseconds pauseFor(int failures) const;
    void forgetOld(Clock::time_point now);

    std::mutex mutex_;
    std::map<std::string, Record> records_;
};

}  // namespace torvane::fiera
