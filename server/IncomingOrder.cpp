#include "IncomingOrder.h"

#include <openssl/evp.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace torvane::fiera {

struct IncomingOrder::Digest {
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context{EVP_MD_CTX_new(), EVP_MD_CTX_free};
};

std::unique_ptr<IncomingOrder> IncomingOrder::create(const std::string& folder) {
    std::string pattern = folder + "/.in-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());  // mode 0600
    if (fd < 0) return nullptr;
    std::unique_ptr<IncomingOrder> order(new IncomingOrder(fd, name.data()));
    if (!order->sha_->context || EVP_DigestInit_ex(order->sha_->context.get(), EVP_sha256(), nullptr) != 1)
        return nullptr;
    return order;
}

IncomingOrder::IncomingOrder(int fd, std::string path) : fd_(fd), path_(std::move(path)), sha_(new Digest) {}

IncomingOrder::~IncomingOrder() {
    if (fd_ >= 0) close(fd_);
    if (!path_.empty()) std::remove(path_.c_str());
}

bool IncomingOrder::write(const char* data, std::size_t size) {
    if (fd_ < 0) return false;
    if (EVP_DigestUpdate(sha_->context.get(), data, size) != 1) return false;
    size_ += size;
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool IncomingOrder::finish() {
    if (fd_ < 0) return false;
    const bool synced = fsync(fd_) == 0;
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    unsigned char bytes[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(sha_->context.get(), bytes, &length) != 1) return false;
    static constexpr char hex[] = "0123456789abcdef";
    digest_.clear();
    for (unsigned int i = 0; i < length; ++i) {
        digest_ += hex[bytes[i] >> 4];
        digest_ += hex[bytes[i] & 0xf];
    }
    return synced && closed;
}

}  // namespace torvane::fiera
