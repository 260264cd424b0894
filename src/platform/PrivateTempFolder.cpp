#include "platform/PrivateTempFolder.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/Log.h"
#include "platform/Paths.h"

namespace torvane {

std::optional<PrivateTempFolder> PrivateTempFolder::create(const std::string& prefix) {
    std::string parent = Paths::ensure(Paths::temporary());
    std::vector<char> pattern(parent.begin(), parent.end());
    std::string tail = "/" + prefix + "-XXXXXX";
    pattern.insert(pattern.end(), tail.begin(), tail.end());
    pattern.push_back('\0');
    // mkdtemp makes the folder with mode 0700 under a name nobody could have guessed.
    if (!::mkdtemp(pattern.data())) {
        Log::f("Non riesco a creare la cartella temporanea in %@", parent);
        return std::nullopt;
    }
    return PrivateTempFolder(std::string(pattern.data()));
}

PrivateTempFolder::PrivateTempFolder(PrivateTempFolder&& other) noexcept : path_(std::move(other.path_)) {
    other.path_.clear();
}

PrivateTempFolder& PrivateTempFolder::operator=(PrivateTempFolder&& other) noexcept {
    if (this != &other) {
        remove();
        path_ = std::move(other.path_);
        other.path_.clear();
    }
    return *this;
}

PrivateTempFolder::~PrivateTempFolder() { remove(); }

void PrivateTempFolder::remove() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    path_.clear();
}

std::string PrivateTempFolder::file(const std::string& name) const { return path_ + "/" + name; }

bool PrivateTempFolder::write(const std::string& name, const std::string& bytes) const {
    std::string target = file(name);
    int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return ::close(fd) == 0;
}

}  // namespace torvane
