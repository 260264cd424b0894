#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::fiera {

// The files placed in the served folder (the fair document "fiere.xml", a company's
// "01.L1.xml", photos). A request reaches only a regular file inside the folder: no "..",
// no hidden names, nothing through a link that leads out, never the orders folder, and never a
// file named secret (the users' profiles), whatever name or link leads to it.
class StaticFiles {
public:
    StaticFiles(std::string root, std::string ordersFolderName, const std::vector<std::string>& secrets = {});
    // The file a decoded request path names, or none.
    std::optional<std::string> resolve(std::string_view requestPath) const;
    static std::string contentType(const std::string& path);

private:
    std::string root_;  // canonical
    std::string orders_;
    std::vector<std::string> secrets_;  // looked at on each request: the operator may replace them
};

}  // namespace torvane::fiera
