#include "platform/PreferenceKeys.h"

namespace torvane {

std::optional<KeyInfo> keyInfo(std::string_view name) {
    for (const KeyInfo& info : kAllKeys)
        if (info.name == name) return info;
    return std::nullopt;
}

}  // namespace torvane
