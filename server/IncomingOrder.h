#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace torvane::fiera {

// An upload being received: its bytes go straight into a temporary file beside the orders
// (never into memory) and into a SHA-256 digest. The file is removed unless the inbox took it.
class IncomingOrder {
public:
    // A new temporary file in `folder`; none when it cannot be made.
    static std::unique_ptr<IncomingOrder> create(const std::string& folder);
    ~IncomingOrder();
    IncomingOrder(const IncomingOrder&) = delete;
    IncomingOrder& operator=(const IncomingOrder&) = delete;

    bool write(const char* data, std::size_t size);
    // Flushes the bytes to the disk and closes the file; false when the disk refused.
    bool finish();

    const std::string& temporaryPath() const { return path_; }
    std::size_t size() const { return size_; }
    // The digest as 64 lower-case hex digits, once finished.
    const std::string& digest() const { return digest_; }
    // The inbox has moved the file to its place: nothing to remove any more.
    void taken() { path_.clear(); }

private:
    IncomingOrder(int fd, std::string path);

    struct Digest;
    int fd_ = -1;
    std::string path_;
    std::size_t size_ = 0;
    std::string digest_;
    std::unique_ptr<Digest> sha_;
};

}  // namespace torvane::fiera
