#include "CommandRegistry.h"

#include <algorithm>

namespace torvane::cli {

CommandRegistry& CommandRegistry::shared() {
    // A function-local static: registrations run during static initialisation of other files.
    static CommandRegistry registry;
    return registry;
}

void CommandRegistry::add(Command command) { commands_.push_back(std::move(command)); }

const CommandRegistry::Command* CommandRegistry::find(const std::string& name) const {
    for (const auto& command : commands_)
        if (command.name == name) return &command;
    return nullptr;
}

std::vector<const CommandRegistry::Command*> CommandRegistry::commands() const {
    std::vector<const Command*> sorted;
    for (const auto& command : commands_) sorted.push_back(&command);
    std::sort(sorted.begin(), sorted.end(),
              [](const Command* a, const Command* b) { return a->name < b->name; });
    return sorted;
}

}  // namespace torvane::cli
