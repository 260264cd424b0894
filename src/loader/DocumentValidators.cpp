#include "loader/DocumentValidators.h"

#include <curl/curl.h>

#include <ctime>

#include "platform/Http.h"

namespace torvane {

std::optional<DocumentValidators> DocumentValidators::of(const HttpResponse& answer) {
    DocumentValidators validators{answer.header("etag"), answer.header("last-modified")};
    if (!validators.lastModified.empty()) {
        const time_t date = curl_getdate(validators.lastModified.c_str(), nullptr);
        if (date < 0 || date > std::time(nullptr)) validators.lastModified.clear();
    }
    if (validators.etag.empty() && validators.lastModified.empty()) return std::nullopt;
    return validators;
}

std::vector<std::string> DocumentValidators::conditionalHeaders() const {
    std::vector<std::string> headers;
    if (!etag.empty()) headers.push_back("If-None-Match: " + etag);
    if (!lastModified.empty()) headers.push_back("If-Modified-Since: " + lastModified);
    return headers;
}

std::string DocumentValidators::rangeValidator(bool sameEncoding) const {
    // A compressed answer's ETag names the compressed bytes, not the plain ones a range asks for.
    if (sameEncoding && !etag.empty() && etag.rfind("W/", 0) != 0) return etag;
    return lastModified;
}

bool DocumentValidators::sameVersionAs(const DocumentValidators& other, bool compareEtags) const {
    if (compareEtags && !etag.empty() && !other.etag.empty() && etag != other.etag) return false;
    return lastModified.empty() || other.lastModified.empty() || lastModified == other.lastModified;
}

}  // namespace torvane
