#include "loader/PartialDocument.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "loader/PrivateFiles.h"
#include "platform/Format.h"
#include "platform/Http.h"
#include "platform/Paths.h"

namespace torvane {

namespace {

using json = nlohmann::json;

constexpr std::size_t kMostMetaBytes = 16 * 1024;

// A file name of the address's own: the same address finds its partial again.
std::string keyOf(const std::string& url) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (unsigned char c : url) hash = (hash ^ c) * 1099511628211ULL;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

}  // namespace

std::string PartialDocument::folder() {
    const std::string folder = Paths::temporary() + "/scaricamenti";
    return PrivateFiles::ensureFolder(folder) ? folder : std::string();
}

PartialDocument::PartialDocument(const std::string& url) : url_(url) {
    const std::string where = folder();
    if (where.empty()) return;
    data_ = where + "/" + keyOf(url) + ".parziale";
    meta_ = where + "/" + keyOf(url) + ".versione";
}

PartialDocument::~PartialDocument() { close(); }

std::optional<PartialDocument::Resumable> PartialDocument::resumable() const {
    if (data_.empty()) return std::nullopt;
    auto bytes = PrivateFiles::readSmall(meta_, kMostMetaBytes);
    const json meta = bytes ? json::parse(*bytes, nullptr, false) : json();
    struct stat info {};
    if (!meta.is_object() || meta.value("url", json()) != url_ || ::lstat(data_.c_str(), &info) != 0 ||
        !S_ISREG(info.st_mode) || info.st_size <= 0 || static_cast<std::uint64_t>(info.st_size) >= Http::kMostBodyBytes)
        return std::nullopt;
    Resumable resumable;
    resumable.size = info.st_size;
    const json etag = meta.value("etag", json()), lastModified = meta.value("lastModified", json()),
               compressed = meta.value("compressed", json());
    if (!etag.is_string() || !lastModified.is_string() || !compressed.is_boolean()) return std::nullopt;
    resumable.version = {{etag.get<std::string>(), lastModified.get<std::string>()}, compressed.get<bool>()};
    resumable.ifRange = resumable.version.validators.rangeValidator(!resumable.version.compressed);
    if (resumable.ifRange.empty()) return std::nullopt;
    return resumable;
}

bool PartialDocument::restart(const Version& version) {
    close();
    if (data_.empty()) return false;
    const json meta = {{"url", url_},
                       {"etag", version.validators.etag},
                       {"lastModified", version.validators.lastModified},
                       {"compressed", version.compressed}};
    return PrivateFiles::replace(meta_, meta.dump()) && open(O_TRUNC);
}

bool PartialDocument::reopen() {
    close();
    return !data_.empty() && open(O_APPEND);
}

bool PartialDocument::open(int flags) {
    fd_ = ::open(data_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | flags, 0600);
    return fd_ >= 0;
}

void PartialDocument::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool PartialDocument::append(std::string_view piece) {
    while (!piece.empty()) {
        const ssize_t n = fd_ < 0 ? -1 : ::write(fd_, piece.data(), piece.size());
        if (n <= 0) return false;
        piece.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

long long PartialDocument::size() const {
    struct stat info {};
    return !data_.empty() && ::lstat(data_.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
}

std::optional<std::string> PartialDocument::take() {
    close();
    auto bytes = data_.empty() ? std::nullopt : PrivateFiles::readSmall(data_, Http::kMostBodyBytes);
    discard();
    return bytes;
}

void PartialDocument::discard() {
    close();
    if (data_.empty()) return;
    ::unlink(data_.c_str());
    ::unlink(meta_.c_str());
}

}  // namespace torvane
