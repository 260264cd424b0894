#pragma once

#include <string>
#include <string_view>

namespace torvane {

// What a log line may show of a setting: the value of any key whose name holds "password"
// (whatever its case: the login's, the mail server's) is masked, so no log, and no verbose
// output, ever carries one.
class SecretText {
public:
    static constexpr const char* kMasked = "********";

    static bool isSecretKey(std::string_view key);
    // `value` as a log may show it for `key`: masked when secret and not empty.
    static std::string shown(std::string_view key, std::string value);
};

}  // namespace torvane
