#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace torvane {

// Pictures given to the system (a client's photo): decoded and encoded afresh, never kept as
// they came, so a broken or hostile file never reaches the store or a document.
class Picture {
public:
    static constexpr std::size_t kMaxBytes = 20 * 1024 * 1024;
    static constexpr int kMaxSide = 8000;

    // A PNG or JPEG file, at most `kMaxBytes` and `kMaxSide` pixels a side, as a new PNG; none
    // with the reason (in Italian, for an alert) when it cannot be read.
    static std::optional<std::vector<unsigned char>> pngFromFile(const std::string& path, std::string& problem);
    // A PNG or JPEG within the limits encoded afresh as a JPEG at `quality` (1 to 100);
    // transparent parts become white. None when the bytes are no such picture.
    static std::optional<std::vector<unsigned char>> jpegFromBytes(const std::vector<unsigned char>& bytes,
                                                                    int quality);
    // The pixel size of bytes that decode as a PNG or a JPEG within the limits; none for
    // anything else (an HTML error page, a broken or oversized picture).
    static std::optional<std::pair<int, int>> decodedSize(const std::string& bytes);
    // The pixel size of a PNG; none when it is not one.
    static std::optional<std::pair<int, int>> pngSize(const std::vector<unsigned char>& png);
};

}  // namespace torvane
