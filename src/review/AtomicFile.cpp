#include "review/AtomicFile.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace torvane {

namespace fs = std::filesystem;

std::string temporarySiblingOf(const std::string& path) {
    // Unique per process and call: two reports of the same order may be written at once.
    static std::atomic<unsigned> counter{0};
    return path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

bool replaceFileWith(const std::string& temporary, const std::string& path) {
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes) {
    std::string temporary = temporarySiblingOf(path);
    {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(temporary.c_str(), "wb"), std::fclose);
        if (!file) return false;
        bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                       std::fflush(file.get()) == 0 && ::fsync(::fileno(file.get())) == 0;
        if (std::fclose(file.release()) != 0 || !written) {
            std::error_code ec;
            fs::remove(temporary, ec);
            return false;
        }
    }
    return replaceFileWith(temporary, path);
}

}  // namespace torvane
