#include "loader/PrivateFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace torvane {

bool PrivateFiles::ensureFolder(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    struct stat info {};
    // Not a link someone planted in a shared temporary folder, and ours.
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) return false;
    return ::chmod(folder.c_str(), 0700) == 0;
}

bool PrivateFiles::replace(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".nuovo";
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    const bool written = done == bytes.size() && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::optional<std::string> PrivateFiles::readSmall(const std::string& path, std::size_t most) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    std::optional<std::string> bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::size_t>(info.st_size) <= most) {
        std::string read(static_cast<std::size_t>(info.st_size), '\0');
        std::size_t done = 0;
        ssize_t n = 0;
        while (done < read.size() && (n = ::read(fd, read.data() + done, read.size() - done)) > 0)
            done += static_cast<std::size_t>(n);
        if (done == read.size()) bytes = std::move(read);
    }
    ::close(fd);
    return bytes;
}

}  // namespace torvane
