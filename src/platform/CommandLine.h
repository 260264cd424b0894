#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace torvane {

// The words of a command line with the options shared by the front ends taken out:
// `--data-dir D` (everything under one folder) and `--help`. A word "--" ends the options:
// the words after it are taken as they are, even when they begin with "--".
class CommandLine {
public:
    // Whether the first word names a command (`torvane-cli load ...`) or every word is an
    // option (`torvane --tab 2`).
    enum class Words { CommandFirst, OptionsOnly };
    CommandLine(int argc, char** argv, Words shape = Words::CommandFirst);

    const std::vector<std::string>& words() const { return words_; }
    bool wantsHelp() const { return help_; }
    const std::optional<std::string>& dataDir() const { return dataDir_; }
    // The problem found while reading the options, if any.
    const std::optional<std::string>& error() const { return error_; }

    // Removes `--name VALUE` from the words and returns VALUE; none when absent. A missing
    // value is recorded as an error.
    std::optional<std::string> takeOption(const std::string& name);
    // Removes `--name` from the words; whether it was there.
    bool takeFlag(const std::string& name);
    // `--name N` where N is plain digits within [min, max]; anything else is recorded as an
    // error, so a typo never becomes 0 or a value that overflows.
    std::optional<long long> takeNumber(const std::string& name, long long min, long long max);

    // Records a problem found by a command in one of its options (the first one is kept).
    void refuse(const std::string& problem) {
        if (!error_) error_ = problem;
    }

    // The words after the command name (all of them without one), without the "--" that ends
    // the options.
    std::vector<std::string> arguments() const;
    // The first word before "--" that looks like an option nobody took.
    std::optional<std::string> unknownOption() const;
    // What a command that takes no further words has to refuse: the error, an unknown option
    // or a stray word; none when the line is clean.
    std::optional<std::string> leftOver() const;

    // Prints the problem and the usage lines on standard error; the exit code of a usage error.
    static int usageError(const std::string& problem, const std::string& usage);

private:
    std::vector<std::string>::iterator endOfOptions();

    std::vector<std::string> words_;
    std::size_t firstArgument_;
    bool help_ = false;
    std::optional<std::string> dataDir_;
    std::optional<std::string> error_;
};

}  // namespace torvane
