#include "FileVersion.h"

#include <sys/stat.h>

#include <cstdio>

namespace torvane::fiera {

std::optional<FileVersion> FileVersion::ofOpenFile(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return FileVersion{static_cast<std::uint64_t>(info.st_size),
                       static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

std::string FileVersion::etag(const char* variant) const {
    char text[64];
    std::snprintf(text, sizeof text, "\"%llx-%llx%s\"", static_cast<unsigned long long>(size),
                  static_cast<unsigned long long>(modifiedNs), variant);
    return text;
}

}  // namespace torvane::fiera
