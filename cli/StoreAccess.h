#pragma once

#include <memory>

#include "CommandLine.h"

namespace torvane {
class Database;
}

namespace torvane::cli {

// Opens the shared store the way the application does. `--company C` (taken from `line`)
// chooses the company for this run only: it is not written to the preferences file.
// Prints the reason and returns none when the store cannot be opened.
std::shared_ptr<Database> openSharedStore(CommandLine& line);

}  // namespace torvane::cli
