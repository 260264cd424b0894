#include "platform/FileModes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace torvane {

namespace fs = std::filesystem;

void FileModes::makeEverythingPrivate() { ::umask(077); }

bool FileModes::privateFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kFile);
    if (fd < 0) return false;
    const bool tightened = ::fchmod(fd, kFile) == 0;
    ::close(fd);
    return tightened;
}

bool FileModes::privateFolder(const std::string& folder) {
    fs::path built;
    for (const fs::path& part : fs::path(folder)) {
        built /= part;
        if (::mkdir(built.c_str(), kFolder) != 0 && errno != EEXIST) return false;
    }
    std::error_code ec;
    return fs::is_directory(folder, ec);
}

}  // namespace torvane
