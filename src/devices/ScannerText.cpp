#include "devices/ScannerText.h"

#include <algorithm>
#include <cstdint>

#include <unicode/unistr.h>

namespace torvane {

std::string scannedText(std::string_view bytes) {
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(bytes.data(), static_cast<int32_t>(std::min<std::size_t>(bytes.size(), INT32_MAX))));
    std::string out;
    text.toUTF8String(out);
    return out;
}

}  // namespace torvane
