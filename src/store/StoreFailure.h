#pragma once

#include <stdexcept>
#include <string>

namespace torvane {

// A failure inside a store operation: the operation's reason and the details (the query's
// error). Never leaves the store service, except from `commit`.
class StoreFailure : public std::runtime_error {
public:
    StoreFailure(std::string reason, std::string details)
        : std::runtime_error(reason), reason_(std::move(reason)), details_(std::move(details)) {}
    const std::string& reason() const { return reason_; }
    const std::string& details() const { return details_; }

private:
    std::string reason_;
    std::string details_;
};

}  // namespace torvane
