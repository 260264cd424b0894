#include "PausedConnections.h"

#include <vector>

namespace torvane::fiera {

PausedConnections::PausedConnections(std::function<void(void*)> suspend, std::function<void(void*)> resume)
    : suspend_(std::move(suspend)), resume_(std::move(resume)), thread_([this] { timer(); }) {}

PausedConnections::~PausedConnections() {
    resumeAll();
    thread_.join();
}

bool PausedConnections::expect(void* connection) {
    std::lock_guard lock(mutex_);
    if (stopping_) return false;
    connections_[connection] = State::Expected;
    return true;
}

void PausedConnections::pause(void* connection) {
    suspend_(connection);
    std::lock_guard lock(mutex_);
    auto found = connections_.find(connection);
    if (found == connections_.end()) {
        resume_(connection);  // resumed by a stop in between
    } else if (found->second == State::ResumeAsked) {
        connections_.erase(found);
        resume_(connection);
    } else {
        found->second = State::Paused;
    }
}

void PausedConnections::forget(void* connection) {
    std::lock_guard lock(mutex_);
    connections_.erase(connection);
}

void PausedConnections::resume(void* connection) {
    std::lock_guard lock(mutex_);
    auto found = connections_.find(connection);
    if (found == connections_.end()) return;
    if (found->second == State::Expected) {
        found->second = State::ResumeAsked;
        return;
    }
    if (found->second == State::Paused) {
        connections_.erase(found);
        resume_(connection);
    }
}

bool PausedConnections::pauseUntil(void* connection, Clock::time_point at) {
    if (!expect(connection)) return false;
    {
        std::lock_guard lock(mutex_);
        alarms_.emplace(at, connection);
    }
    wake_.notify_one();
    pause(connection);
    return true;
}

void PausedConnections::resumeAll() {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (auto& [connection, state] : connections_)
        if (state == State::Paused) resume_(connection);
    connections_.clear();
    alarms_.clear();
    wake_.notify_all();
}

void PausedConnections::timer() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (alarms_.empty()) wake_.wait(lock);
        else wake_.wait_until(lock, alarms_.begin()->first);
        std::vector<void*> due;
        const Clock::time_point now = Clock::now();
        while (!alarms_.empty() && alarms_.begin()->first <= now) {
            due.push_back(alarms_.begin()->second);
            alarms_.erase(alarms_.begin());
        }
        lock.unlock();
        for (void* connection : due) resume(connection);
        lock.lock();
    }
}

}  // namespace torvane::fiera
