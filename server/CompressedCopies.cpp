#include "CompressedCopies.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "FileVersion.h"

namespace torvane::fiera {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMostEntries = 4096;

bool writeAll(int fd, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

std::string CompressedCopies::versionRecordedIn(int fd) {
    unsigned char head[128];
    const ssize_t got = ::pread(fd, head, sizeof head, 0);
    constexpr unsigned char kCommentOnly = 0x10;
    if (got < 12 || head[0] != 0x1f || head[1] != 0x8b || head[3] != kCommentOnly) return {};
    std::string comment;
    for (ssize_t i = 10; i < got && head[i] != 0; ++i) comment += static_cast<char>(head[i]);
    return comment;
}

CompressedCopies::CompressedCopies() : thread_([this] { work(); }) {}

CompressedCopies::~CompressedCopies() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    // Whoever still waits is told: the file is then served as it is.
    for (auto& [path, entry] : entries_)
        for (auto& done : entry.waiters) done();
}

bool CompressedCopies::worthCompressing(const std::string& contentType) {
    return contentType.rfind("text/", 0) == 0 || contentType.rfind("application/json", 0) == 0;
}

std::string CompressedCopies::copyPathOf(const std::string& path) {
    const fs::path p(path);
    return (p.parent_path() / ("." + p.filename().string() + ".gz")).string();
}

CompressedCopies::State CompressedCopies::find(const std::string& path, const std::string& etag,
                                               std::function<void()> done) {
    std::lock_guard lock(mutex_);
    if (stopping_) return State::Unavailable;
    auto found = entries_.find(path);
    if (found != entries_.end() && found->second.etag == etag) {
        Entry& entry = found->second;
        if (entry.status == Status::Ready) return State::Ready;
        if (entry.status == Status::Failed) return State::Unavailable;
        if (done) entry.waiters.push_back(std::move(done));
        return State::Pending;
    }
    if (found != entries_.end() && found->second.status == Status::Pending) return State::Unavailable;
    if (entries_.size() >= kMostEntries) {
        for (auto it = entries_.begin(); it != entries_.end();)
            it = it->second.status == Status::Pending ? std::next(it) : entries_.erase(it);
        if (entries_.size() >= kMostEntries) return State::Unavailable;
    }
    Entry& entry = entries_[path];
    entry.etag = etag;
    const int existing = ::open(copyPathOf(path).c_str(), O_RDONLY | O_CLOEXEC);
    const bool madeBefore = existing >= 0 && versionRecordedIn(existing) == etag;
    if (existing >= 0) ::close(existing);
    if (madeBefore) {
        entry.status = Status::Ready;  // made before the server last started
        return State::Ready;
    }
    if (queue_.size() >= maxQueued) {
        entries_.erase(path);
        return State::Unavailable;
    }
    entry.status = Status::Pending;
    if (done) entry.waiters.push_back(std::move(done));
    queue_.push_back(path);
    wake_.notify_one();
    return State::Pending;
}

void CompressedCopies::work() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        const std::string path = queue_.front();
        queue_.pop_front();
        const std::string etag = entries_[path].etag;
        lock.unlock();
        const bool made = compress(path, etag);
        lock.lock();
        Entry& entry = entries_[path];
        std::vector<std::function<void()>> waiters = std::move(entry.waiters);
        entry.waiters.clear();
        entry.status = made ? Status::Ready : Status::Failed;
        lock.unlock();
        for (auto& done : waiters) done();
        lock.lock();
    }
}

bool CompressedCopies::compress(const std::string& path, const std::string& etag) {
    const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    const std::unique_ptr<int, void (*)(int*)> closeIn(new int(in), [](int* fd) { ::close(*fd), delete fd; });
    const std::optional<FileVersion> version = FileVersion::ofOpenFile(in);
    if (!version || version->etag() != etag) return false;

    std::string temporary = copyPathOf(path) + ".XXXXXX";
    const int out = mkstemp(temporary.data());
    if (out < 0) return false;
    z_stream z{};
    gz_header header{};
    std::string comment = etag;
    header.comment = reinterpret_cast<Bytef*>(comment.data());
    header.time = static_cast<uLong>(version->modified());  // not the time of compressing: same file, same bytes
    header.os = 3;
    bool ok = deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    ok = ok && deflateSetHeader(&z, &header) == Z_OK;
    std::vector<unsigned char> input(1 << 16), output(1 << 16);
    for (bool last = false; ok && !last;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) ok = false;
        }
        const ssize_t got = ::read(in, input.data(), input.size());
        if (got < 0) ok = false;
        last = got == 0;
        z.next_in = input.data();
        z.avail_in = static_cast<uInt>(got > 0 ? got : 0);
        do {
            z.next_out = output.data();
            z.avail_out = static_cast<uInt>(output.size());
            if (deflate(&z, last ? Z_FINISH : Z_NO_FLUSH) == Z_STREAM_ERROR) ok = false;
            ok = ok && writeAll(out, output.data(), output.size() - z.avail_out);
        } while (ok && z.avail_out == 0);
    }
    deflateEnd(&z);
    ok = ok && fsync(out) == 0;
    ok = ::close(out) == 0 && ok;
    // The file changed while it was read: this copy is of no version at all.
    const std::optional<FileVersion> after = FileVersion::ofOpenFile(in);
    ok = ok && after && after->etag() == etag;
    ok = ok && ::rename(temporary.c_str(), copyPathOf(path).c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

}  // namespace torvane::fiera
