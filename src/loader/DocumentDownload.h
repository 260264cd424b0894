#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "loader/DocumentValidators.h"
#include "platform/Http.h"

namespace torvane {

class PartialDocument;

// One catalogue document fetched as cheaply as the server allows: compressed, not at all when
// the server says the version loaded last is still current, and only its missing part when an
// earlier download was cut. Whatever the server answers, the result is the whole document, the
// word that it is unchanged, or a failure: never a mix of two versions.
class DocumentDownload {
public:
    struct Result {
        enum class Kind { Downloaded, Unchanged, Failed };
        Kind kind = Kind::Failed;
        std::string bytes;
        std::string error;
        // The version downloaded, when the server named it.
        std::optional<DocumentValidators> validators;
        bool resumed = false;
    };

    DocumentDownload(std::string url, std::chrono::milliseconds timeout);

    // Bytes received so far (those kept from a cut download included), the total when known.
    void setProgress(std::function<void(const HttpProgress&)> progress) { progress_ = std::move(progress); }

    // `loaded` is the version the store holds, when known: the server is asked whether it changed.
    Result run(const std::optional<DocumentValidators>& loaded);

private:
    struct Attempt;
    std::optional<Result> attempt(const std::optional<DocumentValidators>& loaded, bool mayResume,
                                  PartialDocument& partial);

    std::string url_;
    std::chrono::milliseconds timeout_;
    std::function<void(const HttpProgress&)> progress_;
};

}  // namespace torvane
