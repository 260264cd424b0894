#include "platform/Log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "platform/FileModes.h"

namespace torvane {

namespace {
std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}
std::shared_ptr<LogSink>& currentSink() {
    static std::shared_ptr<LogSink> s = std::make_shared<StderrLogSink>();
    return s;
}
}  // namespace

void StderrLogSink::write(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
}

// Logs hold whole order documents: this user's alone, an older log tightened too.
FileLogSink::FileLogSink(std::string path) : path_(std::move(path)) {
    const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, FileModes::kFile);
    if (fd < 0) return;
    ::fchmod(fd, FileModes::kFile);
    file_ = ::fdopen(fd, "a");
    if (!file_) ::close(fd);
}

FileLogSink::~FileLogSink() {
    if (file_) std::fclose(file_);
}

void FileLogSink::write(std::string_view line) {
    std::FILE* out = file_ ? file_ : stderr;
    std::fwrite(line.data(), 1, line.size(), out);
    std::fputc('\n', out);
    std::fflush(out);
}

void CaptureLogSink::write(std::string_view line) {
    std::lock_guard lock(mutex_);
    lines_.emplace_back(line);
}

std::vector<std::string> CaptureLogSink::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

bool CaptureLogSink::contains(std::string_view line) const {
    std::lock_guard lock(mutex_);
    return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
}

void CaptureLogSink::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

void Log::line(std::string_view text) {
    // One line at a time, so lines from the loader thread never interleave with others.
    static std::mutex writing;
    std::shared_ptr<LogSink> s = sink();
    if (!s) return;
    std::lock_guard lock(writing);
    s->write(text);
}

std::shared_ptr<CaptureLogSink> Log::capture() {
    auto current = std::dynamic_pointer_cast<CaptureLogSink>(sink());
    return current ? current : useCapture();
}

void Log::setSink(std::shared_ptr<LogSink> sink) {
    std::lock_guard lock(sinkMutex());
    currentSink() = std::move(sink);
}

std::shared_ptr<LogSink> Log::sink() {
    std::lock_guard lock(sinkMutex());
    return currentSink();
}

std::shared_ptr<CaptureLogSink> Log::useCapture() {
    auto capture = std::make_shared<CaptureLogSink>();
    setSink(capture);
    return capture;
}

}  // namespace torvane
