#pragma once

#include <sys/types.h>

#include <string>

namespace torvane {

// Everything the programs make under the data folder (the store with its journal files, the
// logs, temporary documents, caches, the outbox) holds the company's and its clients' data:
// it is this user's alone. Each front end makes every file private at start; where a file or
// folder is made by name it is also made with these modes, so the rule holds for any caller.
class FileModes {
public:
    static constexpr mode_t kFile = 0600;
    static constexpr mode_t kFolder = 0700;

    // The process's file-creation mask: whatever is made from now on, by us or by a library
    // (SQLite, the report writers), gets no access for group or others.
    static void makeEverythingPrivate();
    // Creates `path` empty with `kFile` when missing, else tightens it to `kFile` (a file made
    // by an older version). False when neither could be done.
    static bool privateFile(const std::string& path);
    // Creates `folder` and its missing parents with `kFolder`; false when it is not a folder after.
    static bool privateFolder(const std::string& folder);
};

}  // namespace torvane
