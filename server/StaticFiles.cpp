#include "StaticFiles.h"

#include <sys/stat.h>

#include <filesystem>

namespace torvane::fiera {

namespace fs = std::filesystem;

StaticFiles::StaticFiles(std::string root, std::string ordersFolderName, const std::vector<std::string>& secrets)
    : orders_(std::move(ordersFolderName)), secrets_(secrets) {
    std::error_code code;
    const fs::path canonical = fs::canonical(root, code);
    root_ = code ? root : canonical.string();
}

std::optional<std::string> StaticFiles::resolve(std::string_view requestPath) const {
    if (requestPath.empty() || requestPath.front() != '/') return std::nullopt;
    const std::string_view relative = requestPath.substr(1);
    if (relative.empty() || relative.find('\0') != std::string_view::npos ||
        relative.find('\\') != std::string_view::npos)
        return std::nullopt;
    // Every segment a plain name: no "", ".", ".." and no hidden files.
    bool first = true;
    for (std::size_t start = 0; start <= relative.size();) {
        const std::size_t end = std::min(relative.find('/', start), relative.size());
        const std::string_view segment = relative.substr(start, end - start);
        if (segment.empty() || segment.front() == '.') return std::nullopt;
        if (first && segment == orders_) return std::nullopt;
        first = false;
        start = end + 1;
    }
    std::error_code code;
    const fs::path real = fs::canonical(fs::path(root_) / fs::path(std::string(relative)), code);
    if (code) return std::nullopt;
    // A link may point anywhere: what counts is where the file really is.
    const std::string text = real.string();
    if (text.size() <= root_.size() + 1 || text.compare(0, root_.size(), root_) != 0 || text[root_.size()] != '/')
        return std::nullopt;
    const std::string inside = text.substr(root_.size() + 1);
    if (inside == orders_ || inside.rfind(orders_ + "/", 0) == 0) return std::nullopt;
    struct stat info {};
    if (::stat(text.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    // The same file under any name: a link, or another hard link to it.
    for (const std::string& secret : secrets_) {
        struct stat secretInfo {};
        if (::stat(secret.c_str(), &secretInfo) == 0 && secretInfo.st_dev == info.st_dev &&
            secretInfo.st_ino == info.st_ino)
            return std::nullopt;
    }
    return text;
}

std::string StaticFiles::contentType(const std::string& path) {
    const std::string extension = fs::path(path).extension().string();
    std::string lower;
    for (char c : extension) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower == ".xml") return "text/xml; charset=utf-8";
    if (lower == ".jpg" || lower == ".jpeg") return "image/jpeg";
    if (lower == ".png") return "image/png";
    if (lower == ".gif") return "image/gif";
    if (lower == ".pdf") return "application/pdf";
    if (lower == ".txt") return "text/plain; charset=utf-8";
    return "application/octet-stream";
}

}  // namespace torvane::fiera
