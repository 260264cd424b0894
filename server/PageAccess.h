#pragma once

#include <optional>
#include <string>

namespace torvane::fiera {

// Who may read the page of received orders: without a password only this PC (loopback);
// with one, whoever gives it by HTTP basic authentication (any user name).
class PageAccess {
public:
    enum class Verdict { Allowed, NeedsPassword, Refused };

    explicit PageAccess(std::optional<std::string> password);
    Verdict check(const std::string& remoteAddress, const std::string& authorization) const;

    static bool isLoopback(const std::string& address);
    // The password of an "Authorization: Basic ..." value; none when it is not one.
    static std::optional<std::string> basicPassword(const std::string& authorization);

private:
    std::optional<std::string> password_;
};

}  // namespace torvane::fiera
