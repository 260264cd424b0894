#include "ConnectionWatch.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace torvane::fiera {

struct ConnectionWatch::Connection {
    int fd = -1;
    std::string address;
    Phase phase = Phase::Headers;
    Clock::time_point since;
    std::uint64_t bytes = 0;  // received in Body; to be sent in Answer
    bool shut = false;
    bool served = false;  // an answer went out: waiting for the next request is being idle
};

ConnectionWatch::ConnectionWatch(Limits limits, std::function<void(const std::string&, const std::string&)> cut)
    : limits_(limits), cut_(std::move(cut)), thread_([this] { watch(); }) {}

ConnectionWatch::~ConnectionWatch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    for (Connection* c : connections_) {
        close(c->fd);
        delete c;
    }
}

ConnectionWatch::Connection* ConnectionWatch::opened(int fd, std::string address) {
    const int own = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0) return nullptr;
    auto* connection = new Connection{own, std::move(address), Phase::Headers, Clock::now(), 0, false};
    std::lock_guard lock(mutex_);
    connections_.insert(connection);
    return connection;
}

void ConnectionWatch::closed(Connection* connection) {
    if (!connection) return;
    {
        std::lock_guard lock(mutex_);
        connections_.erase(connection);
    }
    close(connection->fd);
    delete connection;
}

void ConnectionWatch::enter(Connection* connection, Phase phase, std::uint64_t bytes) {
    std::lock_guard lock(mutex_);
    if (!connections_.count(connection)) return;  // closed already (or never watched)
    connection->phase = phase;
    connection->since = Clock::now();
    connection->bytes = bytes;
}

void ConnectionWatch::bodyStarted(Connection* connection) { enter(connection, Phase::Body, 0); }
void ConnectionWatch::answering(Connection* connection, std::uint64_t bytes) { enter(connection, Phase::Answer, bytes); }
void ConnectionWatch::waiting(Connection* connection) { enter(connection, Phase::Waiting, 0); }
void ConnectionWatch::nextRequest(Connection* connection) {
    enter(connection, Phase::Headers, 0);
    std::lock_guard lock(mutex_);
    if (connections_.count(connection)) connection->served = true;
}

void ConnectionWatch::bodyReceived(Connection* connection, std::uint64_t bytes) {
    std::lock_guard lock(mutex_);
    if (connections_.count(connection)) connection->bytes += bytes;
}

bool ConnectionWatch::late(const Connection& c, Clock::time_point now, std::string& reason) const {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - c.since);
    // The bytes a client keeping the minimum rate has moved by now, after the grace.
    const auto owed = [&] {
        const auto counted = elapsed - limits_.grace;
        return counted.count() <= 0 ? 0 : static_cast<std::uint64_t>(counted.count()) * limits_.minimumRate / 1000;
    };
    switch (c.phase) {
    case Phase::Headers:
        // A kept-alive connection is closed as quietly as the client would close it.
        reason = c.served ? "" : "intestazioni non arrivate in tempo";
        return elapsed > limits_.headerTime;
    case Phase::Body:
        reason = "corpo della richiesta troppo lento";
        return c.bytes < owed();
    case Phase::Answer:
        reason = "risposta letta troppo lentamente";
        return c.bytes < owed();
    case Phase::Waiting:
        return false;
    }
    return false;
}

void ConnectionWatch::watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        wake_.wait_for(lock, std::chrono::milliseconds(200));
        const Clock::time_point now = Clock::now();
        std::vector<std::pair<std::string, std::string>> cut;
        for (Connection* c : connections_) {
            std::string reason;
            if (c->shut || !late(*c, now, reason)) continue;
            ::shutdown(c->fd, SHUT_RDWR);
            c->shut = true;
            if (!reason.empty()) cut.emplace_back(c->address, reason);
        }
        lock.unlock();
        for (const auto& [address, reason] : cut) cut_(address, reason);
        lock.lock();
    }
}

}  // namespace torvane::fiera
