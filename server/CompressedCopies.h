#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace torvane::fiera {

// The gzip copies of the text files served: made once, off the serving threads, and kept
// beside each file under a hidden name (".fiere.xml.gz"), which is never served by itself.
// Each copy records in its gzip header the version of the file it was made from, so a file
// that changed is compressed again, and the same version always gives the same bytes (a
// download resumed later continues the same copy).
class CompressedCopies {
public:
    enum class State { Ready, Pending, Unavailable };
    static constexpr std::size_t maxQueued = 64;

    CompressedCopies();
    ~CompressedCopies();
    CompressedCopies(const CompressedCopies&) = delete;
    CompressedCopies& operator=(const CompressedCopies&) = delete;

    static bool worthCompressing(const std::string& contentType);
    static std::string copyPathOf(const std::string& path);
    // The version of the file a copy (open as `fd`) was made from; "" when it records none.
    static std::string versionRecordedIn(int fd);

    // The copy of `path` at version `etag`. When Pending, `done` is called once, from the
    // compressing thread, when the copy is made or cannot be; Unavailable means the file is
    // served as it is (a folder that cannot be written, a full queue).
    State find(const std::string& path, const std::string& etag, std::function<void()> done = {});

private:
    enum class Status { Ready, Pending, Failed };
    struct Entry {
        std::string etag;
        Status status = Status::Pending;
        std::vector<std::function<void()>> waiters;
    };
    void work();
    bool compress(const std::string& path, const std::string& etag);

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::deque<std::string> queue_;
    std::map<std::string, Entry> entries_;
    std::thread thread_;
};

}  // namespace torvane::fiera
