#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvane::fiera {

// The files placed in the served folder (the fair document "fiere.xml", a company's
// "01.L1.xml", photos). A request reaches only a regular file inside the folder: no "..",
// no hidden names, nothing through a link that leads out, and never the orders folder.
class StaticFiles {
public:
    StaticFiles(std::string root, std::string ordersFolderName);
    // The file a decoded request path names, or none.
    std::optional<std::string> resolve(std::string_view requestPath) const;
    static std::string contentType(const std::string& path);

private:
    std::string root_;  // canonical
    std::string orders_;
};

}  // namespace torvane::fiera
