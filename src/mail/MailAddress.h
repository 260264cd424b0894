#pragma once

#include <string>
#include <vector>

namespace torvane {

// The addresses a person types into a recipient field. Addresses go into message headers and
// SMTP commands, so one holding a line break or any other control character is never used:
// it could add headers or commands of its own.
class MailAddress {
public:
    // A plain "local@domain": no control characters, no blanks, no "<>" or quotes, one "@"
    // with text on both sides.
    static bool isAcceptable(const std::string& address);
    // The addresses of a field, split at "," and ";" and trimmed; empty parts dropped.
    static std::vector<std::string> split(const std::string& field);
    // The addresses joined as a field shows them.
    static std::string join(const std::vector<std::string>& addresses);
};

}  // namespace torvane
