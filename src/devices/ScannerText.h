#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace torvane {

// Scanned bytes as text: valid UTF-8 passes unchanged, every ill-formed sequence becomes
// U+FFFD, so a misread byte is still seen (and refused) instead of corrupting what follows.
std::string scannedText(std::string_view bytes);

}  // namespace torvane
