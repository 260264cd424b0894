#include "platform/SecretText.h"

#include <algorithm>
#include <cctype>

namespace torvane {

bool SecretText::isSecretKey(std::string_view key) {
    std::string upper(key);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper.find("PASSWORD") != std::string::npos;
}

std::string SecretText::shown(std::string_view key, std::string value) {
    return isSecretKey(key) && !value.empty() ? kMasked : std::move(value);
}

}  // namespace torvane
