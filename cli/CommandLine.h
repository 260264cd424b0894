#pragma once

#include <optional>
#include <string>
#include <vector>

namespace torvane::cli {

// The words of a command line with the options shared by every command taken out:
// `--data-dir D` (everything under one folder) and `--help`.
class CommandLine {
public:
    CommandLine(int argc, char** argv);

    const std::vector<std::string>& words() const { return words_; }
    bool wantsHelp() const { return help_; }
    const std::optional<std::string>& dataDir() const { return dataDir_; }
    // The problem found while reading the options, if any.
    const std::optional<std::string>& error() const { return error_; }

    // Removes `--name VALUE` from the words and returns VALUE; none when absent. A missing
    // value is recorded as an error.
    std::optional<std::string> takeOption(const std::string& name);

private:
    std::vector<std::string> words_;
    bool help_ = false;
    std::optional<std::string> dataDir_;
    std::optional<std::string> error_;
};

}  // namespace torvane::cli
