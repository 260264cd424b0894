#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace torvane::fiera {

// Deadlines that a slow client cannot stretch by sending a byte now and then: a request's
// headers must all arrive within `headerTime` of the connection opening (or of the previous
// answer, when the connection is kept alive), a body must keep an average of `minimumRate`
// bytes a second after `grace`, and an answer must be taken as fast. A connection past its
// deadline is shut down; the server then closes it as it does any connection its client left.
class ConnectionWatch {
public:
    using Clock = std::chrono::steady_clock;
    struct Limits {
        std::chrono::milliseconds headerTime{10000};
        std::uint64_t minimumRate = 4096;  // bytes a second
        std::chrono::milliseconds grace{10000};
    };
    // What a connection is doing, for its deadline.
    enum class Phase { Headers, Body, Answer, Waiting };
    struct Connection;

    // `cut` is told the address and the reason of each connection shut down (for the log),
    // except a kept-alive one that stayed idle after its answers.
    ConnectionWatch(Limits limits, std::function<void(const std::string&, const std::string&)> cut);
    ~ConnectionWatch();
    ConnectionWatch(const ConnectionWatch&) = delete;
    ConnectionWatch& operator=(const ConnectionWatch&) = delete;

    // A new connection on socket `fd` (duplicated here, so the watch never touches a number the
    // server has closed and reused); none when the socket cannot be duplicated.
    Connection* opened(int fd, std::string address);
    void closed(Connection* connection);

    void bodyStarted(Connection* connection);
    void bodyReceived(Connection* connection, std::uint64_t bytes);
    void answering(Connection* connection, std::uint64_t bytes);
    void waiting(Connection* connection);  // suspended on purpose: the server's own timer bounds it
    void nextRequest(Connection* connection);

private:
    void enter(Connection* connection, Phase phase, std::uint64_t bytes);
    void watch();
    bool late(const Connection& connection, Clock::time_point now, std::string& reason) const;

    const Limits limits_;
    const std::function<void(const std::string&, const std::string&)> cut_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::set<Connection*> connections_;
    std::thread thread_;
};

}  // namespace torvane::fiera
