#include "CommandLine.h"

namespace torvane::cli {

CommandLine::CommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) words_.emplace_back(argv[i]);
    for (auto it = words_.begin(); it != words_.end();) {
        if (*it == "--help" || *it == "-h") {
            help_ = true;
            it = words_.erase(it);
        } else {
            ++it;
        }
    }
    dataDir_ = takeOption("--data-dir");
}

std::optional<std::string> CommandLine::takeOption(const std::string& name) {
    for (auto it = words_.begin(); it != words_.end(); ++it) {
        if (*it == name) {
            if (it + 1 == words_.end()) {
                error_ = "manca il valore di " + name;
                words_.erase(it);
                return std::nullopt;
            }
            std::string value = *(it + 1);
            words_.erase(it, it + 2);
            return value;
        }
        if (it->rfind(name + "=", 0) == 0) {
            std::string value = it->substr(name.size() + 1);
            words_.erase(it);
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace torvane::cli
