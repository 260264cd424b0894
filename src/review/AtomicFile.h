#pragma once

#include <string>
#include <string_view>

namespace torvane {

// Writes a whole file beside its target and renames it over the target, so a reader (the
// upload, the mail composer) never sees half a document. False when it could not be written;
// the target is then left as it was.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

// The name a document is first written under before it replaces `path`.
std::string temporarySiblingOf(const std::string& path);

// Moves a finished temporary file over `path`; removes the temporary file when that fails.
bool replaceFileWith(const std::string& temporary, const std::string& path);

}  // namespace torvane
