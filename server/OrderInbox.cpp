#include "OrderInbox.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "OrderFile.h"
#include "UploadName.h"

namespace torvane::fiera {

namespace fs = std::filesystem;

namespace {

std::string digestOfFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!in || !context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return {};
    std::vector<char> buffer(1 << 16);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        if (in.gcount() > 0) EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) return {};
    unsigned char bytes[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context.get(), bytes, &length);
    static constexpr char hex[] = "0123456789abcdef";
    std::string digest;
    for (unsigned int i = 0; i < length; ++i) {
        digest += hex[bytes[i] >> 4];
        digest += hex[bytes[i] & 0xf];
    }
    return digest;
}

bool syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    const bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

bool isOrderName(const std::string& name) { return !name.empty() && name.front() != '.'; }

}  // namespace

OrderInbox::OrderInbox(std::string folder) : folder_(std::move(folder)) {}

bool OrderInbox::open(std::string& error) {
    std::error_code code;
    fs::create_directories(folder_, code);
    if (code || !fs::is_directory(folder_, code)) {
        error = "cartella degli ordini non disponibile: " + folder_;
        return false;
    }
    ::chmod(folder_.c_str(), 0700);  // the company's and its clients' data
    std::lock_guard lock(mutex_);
    for (const auto& entry : fs::directory_iterator(folder_, code)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(".in-", 0) == 0) {
            fs::remove(entry.path(), code);  // never answered as stored
            continue;
        }
        if (!isOrderName(name) || !entry.is_regular_file(code)) continue;
        const std::string digest = digestOfFile(entry.path());
        if (!digest.empty()) byDigest_.emplace(digest, name);
    }
    if (code) {
        error = "cartella degli ordini non leggibile: " + code.message();
        return false;
    }
    return true;
}

OrderInbox::Placing OrderInbox::place(IncomingOrder& incoming, const std::string& name) {
    const std::string target = folder_ + "/" + name;
    if (::link(incoming.temporaryPath().c_str(), target.c_str()) == 0) {
        ::unlink(incoming.temporaryPath().c_str());
        return Placing::Placed;
    }
    if (errno == EEXIST) return Placing::Taken;
    // File systems without hard links (a FAT stick): only this server writes here and the
    // lock is held, so a name seen free stays free until the rename.
    struct stat existing {};
    if (::lstat(target.c_str(), &existing) == 0) return Placing::Taken;
    if (errno != ENOENT) return Placing::Refused;
    return ::rename(incoming.temporaryPath().c_str(), target.c_str()) == 0 ? Placing::Placed : Placing::Refused;
}

StoreResult OrderInbox::store(std::unique_ptr<IncomingOrder> incoming, const std::string& sentName) {
    if (!incoming || !incoming->finish()) return {StoreOutcome::Failed, {}};
    if (!OrderFile::read(incoming->temporaryPath())) return {StoreOutcome::NotXml, {}};
    std::unique_lock lock(mutex_);
    // The same bytes being flushed by another request: its outcome decides this one's.
    settled_.wait(lock, [&] { return flushing_.count(incoming->digest()) == 0; });
    if (auto known = byDigest_.find(incoming->digest()); known != byDigest_.end())
        return {StoreOutcome::AlreadyStored, known->second};
    const std::string wanted = UploadName::sanitised(sentName);
    for (int n = 1; n <= 1000; ++n) {
        const std::string name = n == 1 ? wanted : UploadName::alternative(wanted, n);
        const Placing placing = place(*incoming, name);
        if (placing == Placing::Taken) continue;  // another order has that name: never replaced
        if (placing == Placing::Refused) return {StoreOutcome::Failed, {}};
        incoming->taken();
        // The folder is flushed without the lock, so the flushes of orders arriving together
        // are one for the disk.
        const std::string digest = incoming->digest();
        flushing_.insert(digest);
        lock.unlock();
        const bool synced = syncFolder(folder_);
        lock.lock();
        flushing_.erase(digest);
        // Not known to be durable: not answered as stored, and not known by its digest, so
        // the device's retry is stored again rather than answered from a lost file.
        if (synced) byDigest_.emplace(digest, name);
        settled_.notify_all();
        return synced ? StoreResult{StoreOutcome::Stored, name} : StoreResult{StoreOutcome::Failed, {}};
    }
    return {StoreOutcome::Failed, {}};
}

std::vector<StoredOrder> OrderInbox::list() const {
    std::vector<StoredOrder> orders;
    std::error_code code;
    for (const auto& entry : fs::directory_iterator(folder_, code)) {
        const std::string name = entry.path().filename().string();
        if (!isOrderName(name) || !entry.is_regular_file(code)) continue;
        struct stat info {};
        if (::stat(entry.path().c_str(), &info) != 0) continue;
        orders.push_back({name, std::chrono::system_clock::from_time_t(info.st_mtime)});
    }
    std::sort(orders.begin(), orders.end(), [](const StoredOrder& a, const StoredOrder& b) {
        return a.received != b.received ? a.received > b.received : a.name < b.name;
    });
    return orders;
}

}  // namespace torvane::fiera
