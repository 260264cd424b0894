#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "loader/DocumentValidators.h"

namespace torvane {

// The beginning of a document whose download was cut, kept in the private temporary folder
// with the version it belongs to, so the next run asks for the rest only. A partial that
// cannot be resumed (no validator, another address) is thrown away.
class PartialDocument {
public:
    struct Version {
        DocumentValidators validators;
        bool compressed = false;  // it arrived compressed: its bytes are the decoded ones
    };

    explicit PartialDocument(const std::string& url);
    ~PartialDocument();
    PartialDocument(const PartialDocument&) = delete;
    PartialDocument& operator=(const PartialDocument&) = delete;

    // The folder of the partial documents (0700); "" when it cannot be made.
    static std::string folder();

    // What a resumption can ask for: the bytes already here and their version's validator.
    struct Resumable {
        long long size = 0;
        Version version;
        std::string ifRange;
    };
    std::optional<Resumable> resumable() const;

    // Starts the document again from its first byte, for the given version.
    bool restart(const Version& version);
    // Goes on after the bytes already here.
    bool reopen();
    bool append(std::string_view piece);
    long long size() const;
    // The whole document, read back; the partial is gone afterwards.
    std::optional<std::string> take();
    void discard();

private:
    bool open(int flags);
    void close();

    std::string url_;
    std::string data_;
    std::string meta_;
    int fd_ = -1;
};

}  // namespace torvane
