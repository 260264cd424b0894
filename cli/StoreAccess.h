#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/CommandLine.h"

namespace torvane {
class Database;
}

namespace torvane::cli {

// Takes `--company C` from the line; a code that is not a plain company code (it becomes the
// store's file name) is recorded as the line's error.
std::optional<std::string> takeCompany(CommandLine& line);

// What a command does with the preferences while it opens the store.
enum class StoreUse {
    ReadOnly,  // the preferences file is never written (the "999" of a first opening included)
    Writing,   // as the application: a first opening saves "999" as the active company
};

// Opens the shared store the way the application does. `company` chooses the company for this
// run only: it is not written to the preferences file. Prints the reason and returns none when
// the store cannot be opened.
std::shared_ptr<Database> openSharedStore(const std::optional<std::string>& company, StoreUse use);

}  // namespace torvane::cli
