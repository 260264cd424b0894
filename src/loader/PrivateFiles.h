#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace torvane {

// The small private files of the download: the validators beside the store, a partial
// document and its description. Readable by this user only.
struct PrivateFiles {
    // The folder, made when missing and closed to others (0700); false when unusable.
    static bool ensureFolder(const std::string& folder);
    // Writes `bytes` beside `path` (0600) and renames it over `path`; false on any failure.
    static bool replace(const std::string& path, const std::string& bytes);
    // The file when it is a regular file of at most `most` bytes; none otherwise.
    static std::optional<std::string> readSmall(const std::string& path, std::size_t most);
};

}  // namespace torvane
