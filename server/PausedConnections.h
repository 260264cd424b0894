#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace torvane::fiera {

// The connections the server has set aside (a login waiting its turn, a file waiting for its
// compressed copy), and their resumption: by whoever finishes the work, by a timer, or all at
// once when the server stops. A resumption asked for before the connection was set aside is
// kept, so none is ever lost and none is resumed twice.
class PausedConnections {
public:
    using Clock = std::chrono::steady_clock;
    // `suspend` and `resume` act on the server's connection handle.
    PausedConnections(std::function<void(void*)> suspend, std::function<void(void*)> resume);
    ~PausedConnections();
    PausedConnections(const PausedConnections&) = delete;
    PausedConnections& operator=(const PausedConnections&) = delete;

    // Before starting the work that will resume the connection; false once stopping.
    bool expect(void* connection);
    // After it has been started: the connection is suspended (and resumed at once when the
    // work has already finished).
    void pause(void* connection);
    // The work was not needed after all.
    void forget(void* connection);
    void resume(void* connection);
    // Sets the connection aside until `at`; false once stopping.
    bool pauseUntil(void* connection, Clock::time_point at);
    // Resumes every connection and sets none aside any more.
    void resumeAll();

private:
    enum class State { Expected, ResumeAsked, Paused };
    void timer();

    const std::function<void(void*)> suspend_, resume_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::map<void*, State> connections_;
    std::multimap<Clock::time_point, void*> alarms_;
    std::thread thread_;
};

}  // namespace torvane::fiera
