#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Format.h"

namespace torvane {

// Where log lines go. One plain line per event; the texts are part of the behaviour.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void write(std::string_view line) = 0;
};

class StderrLogSink final : public LogSink {
public:
    void write(std::string_view line) override;
};

// Appends to a file (the data folder's log); falls back to stderr when the file cannot be opened.
class FileLogSink final : public LogSink {
public:
    explicit FileLogSink(std::string path);
    ~FileLogSink() override;
    void write(std::string_view line) override;

private:
    std::string path_;
    std::FILE* file_ = nullptr;
};

// Keeps every line in memory so tests can assert on them.
class CaptureLogSink final : public LogSink {
public:
    void write(std::string_view line) override;
    std::vector<std::string> lines() const;
    bool contains(std::string_view line) const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

// The platform log call. Thread-safe: the catalogue loader logs from its own thread.
class Log {
public:
    static void line(std::string_view text);

    // printf-style, with the system's own formats ("%@ %@", "%05d").
    template <typename... Args>
    static void f(std::string_view format, const Args&... args) {
        line(torvane::format(format, args...));
    }

    static void setSink(std::shared_ptr<LogSink> sink);
    static std::shared_ptr<LogSink> sink();

    // Installs a fresh capture sink and returns it (tests).
    static std::shared_ptr<CaptureLogSink> useCapture();
    // The capture sink in use, installing one when another sink is in use (tests).
    static std::shared_ptr<CaptureLogSink> capture();
};

}  // namespace torvane
