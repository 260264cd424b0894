#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/CommandLine.h"

namespace torvane::cli {

// The commands of torvane-cli. Each command file registers itself with a static
// `CommandRegistration`, so adding a command never touches main.cpp.
class CommandRegistry {
public:
    // Runs the command: `line.words()[0]` is its name; it takes its own options from `line`
    // and returns the exit code. The data folder and the preferences are already set up.
    using Handler = std::function<int(CommandLine& line)>;

    struct Command {
        std::string name;
        std::string usage;  // lines for the help text, each starting with two blanks
        Handler run;
    };

    static CommandRegistry& shared();

    void add(Command command);
    const Command* find(const std::string& name) const;
    // In name order, for the help text.
    std::vector<const Command*> commands() const;

private:
    std::vector<Command> commands_;
};

struct CommandRegistration {
    CommandRegistration(std::string name, std::string usage, CommandRegistry::Handler run) {
        CommandRegistry::shared().add({std::move(name), std::move(usage), std::move(run)});
    }
};

}  // namespace torvane::cli
