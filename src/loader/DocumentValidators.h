#pragma once

#include <optional>
#include <string>
#include <vector>

namespace torvane {

struct HttpResponse;

// What a server said identifies one version of a document: its ETag and its Last-Modified date.
struct DocumentValidators {
    std::string etag;
    std::string lastModified;

    // The answer's validators; a Last-Modified date in the future (a wrong clock on the server)
    // is left out, since asking "changed since then?" would hide every change until that date.
    // None when nothing usable is left.
    static std::optional<DocumentValidators> of(const HttpResponse& answer);

    // "If-None-Match" / "If-Modified-Since": is the document still this version?
    std::vector<std::string> conditionalHeaders() const;
    // What "If-Range" may carry: a strong ETag (a weak one never matches a range) or the date;
    // "" when neither.
    std::string rangeValidator(bool sameEncoding) const;
    // Another answer describes the same version: no validator the two share differs.
    bool sameVersionAs(const DocumentValidators& other, bool compareEtags) const;

    bool operator==(const DocumentValidators&) const = default;
};

}  // namespace torvane
