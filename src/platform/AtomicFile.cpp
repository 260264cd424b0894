#include "platform/AtomicFile.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/Paths.h"

namespace torvane {

namespace fs = std::filesystem;

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Something is there and renaming over it would replace it with a plain file.
bool isSpecialFile(const std::string& path) {
    std::error_code ec;
    auto status = fs::status(path, ec);
    return !ec && fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status);
}

// Every byte written and the close checked: a full disk shows only at the flush or the close.
// `durable` also waits for the disk, which devices and pipes do not offer.
bool writeAll(const std::string& path, std::string_view bytes, bool durable) {
    File file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                   std::fflush(file.get()) == 0 && (!durable || ::fsync(::fileno(file.get())) == 0);
    return std::fclose(file.release()) == 0 && written;
}

bool copyInto(const std::string& source, const std::string& target) {
    File in(std::fopen(source.c_str(), "rb"), std::fclose);
    File out(std::fopen(target.c_str(), "wb"), std::fclose);
    if (!in || !out) return false;
    char buffer[65536];
    std::size_t n;
    bool written = true;
    while (written && (n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0)
        written = std::fwrite(buffer, 1, n, out.get()) == n;
    written = written && !std::ferror(in.get()) && std::fflush(out.get()) == 0;
    return std::fclose(out.release()) == 0 && written;
}

}  // namespace

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(bytes).str();
}

std::string temporarySiblingOf(const std::string& path) {
    // Unique per process and call: two reports of the same order may be written at once.
    static std::atomic<unsigned> counter{0};
    std::string unique = ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    if (isSpecialFile(path)) return Paths::ensure(Paths::temporary()) + "/documento" + unique;
    return path + unique;
}

bool replaceFileWith(const std::string& temporary, const std::string& path) {
    std::error_code ec;
    if (isSpecialFile(path)) {
        bool copied = copyInto(temporary, path);
        fs::remove(temporary, ec);
        return copied;
    }
    fs::rename(temporary, path, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes) {
    if (isSpecialFile(path)) return writeAll(path, bytes, false);
    std::string temporary = temporarySiblingOf(path);
    if (!writeAll(temporary, bytes, true)) {
        std::error_code ec;
        fs::remove(temporary, ec);
        return false;
    }
    return replaceFileWith(temporary, path);
}

}  // namespace torvane
