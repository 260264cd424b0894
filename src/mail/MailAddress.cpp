#include "mail/MailAddress.h"

#include <algorithm>

namespace torvane {

bool MailAddress::isAcceptable(const std::string& address) {
    const auto at = address.find('@');
    if (at == std::string::npos || at == 0 || at + 1 >= address.size() || address.find('@', at + 1) != std::string::npos)
        return false;
    return std::none_of(address.begin(), address.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7f || c == ' ' || c == '<' || c == '>' || c == '"' || c == ',' || c == ';' ||
               c == '(' || c == ')' || c == '\\';
    });
}

std::vector<std::string> MailAddress::split(const std::string& field) {
    std::vector<std::string> addresses;
    std::string current;
    auto flush = [&] {
        const auto first = current.find_first_not_of(" \t");
        if (first != std::string::npos) addresses.push_back(current.substr(first, current.find_last_not_of(" \t") - first + 1));
        current.clear();
    };
    for (char c : field) {
        if (c == ',' || c == ';') flush();
        else current += c;
    }
    flush();
    return addresses;
}

std::string MailAddress::join(const std::vector<std::string>& addresses) {
    std::string field;
    for (const std::string& address : addresses) field += (field.empty() ? "" : ", ") + address;
    return field;
}

}  // namespace torvane
