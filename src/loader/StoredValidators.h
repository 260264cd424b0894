#pragma once

#include <optional>
#include <string>

#include "loader/DocumentValidators.h"

namespace torvane {

// The validators of the documents a store was loaded from, kept in a small file beside it,
// one entry per document address. Each entry also keeps the document's freshness marker as it
// was once that version was in: when the store's marker no longer says so (another store file,
// a wiped store, a load that failed), the entry is not used and the document comes whole.
class StoredValidators {
public:
    explicit StoredValidators(std::string storePath);

    std::optional<DocumentValidators> find(const std::string& url, const std::string& marker) const;
    void remember(const std::string& url, const DocumentValidators& validators, const std::string& marker);
    void forget(const std::string& url);

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace torvane
