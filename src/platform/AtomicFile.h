#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvane {

// Writes a whole file beside its target and renames it over the target, so a reader (the
// upload, the mail composer) never sees half a document. False when it could not be written;
// the target is then left as it was. A target that exists and is not a regular file (a
// device, a FIFO, a socket) cannot be renamed over: it is written directly, and every write
// error still gives false.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

// The whole of a file (a document, a saved message); none when it cannot be read.
std::optional<std::string> readWholeFile(const std::string& path);

// The name a document is first written under before it replaces `path`: beside it, or in the
// temporary folder when `path` is not a regular file (its folder may be no place of ours).
std::string temporarySiblingOf(const std::string& path);

// Moves a finished temporary file over `path` (or copies it into a target that is not a
// regular file); removes the temporary file in every case.
bool replaceFileWith(const std::string& temporary, const std::string& path);

}  // namespace torvane
