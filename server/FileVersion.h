#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace torvane::fiera {

// What identifies a served file's present content: its size and modification time to the
// nanosecond. A file rewritten in place gets a new version, so its ETag (strong, quoted)
// changes with it.
struct FileVersion {
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;

    static std::optional<FileVersion> ofOpenFile(int fd);
    std::string etag(const char* variant = "") const;
    std::time_t modified() const { return static_cast<std::time_t>(modifiedNs / 1000000000); }
};

}  // namespace torvane::fiera
