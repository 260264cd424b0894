#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace torvane {
class Preferences;
}

namespace torvane::cli {

// `defaults read [KEY]`, `defaults write KEY VALUE [--type string|bool|int|real]`,
// `defaults delete KEY`: the preferences from a shell.
class DefaultsCommand {
public:
    DefaultsCommand(Preferences& preferences, std::ostream& out, std::ostream& err)
        : preferences_(preferences), out_(out), err_(err) {}

    // The words after "defaults"; the type option already taken out. Returns the exit code:
    // 0 done, 1 the key has no value, 2 a usage error.
    int run(const std::vector<std::string>& words, const std::string& type);

    static const char* usage();

private:
    int read(const std::vector<std::string>& words);
    int write(const std::vector<std::string>& words, const std::string& type);
    int remove(const std::vector<std::string>& words);

    Preferences& preferences_;
    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace torvane::cli
