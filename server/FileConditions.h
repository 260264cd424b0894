#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "ByteRanges.h"

namespace torvane::fiera {

// The request headers that decide how a file is answered.
struct FileRequest {
    std::string acceptEncoding, ifNoneMatch, ifModifiedSince, range, ifRange;
};

// The decisions of a file answer: compression, "not modified", ranges.
class FileConditions {
public:
    // "gzip" (or "*") listed without q=0.
    static bool acceptsGzip(std::string_view acceptEncoding);
    // If-None-Match lists the ETag (or "*"); without it, If-Modified-Since is not older.
    static bool notModified(const FileRequest& request, const std::string& etag, std::time_t modified);
    // The ranges asked for, when If-Range (if any) names this very version; Whole otherwise.
    static ByteRanges::Selection ranges(const FileRequest& request, const std::string& etag, std::time_t modified,
                                        std::uint64_t size);
};

}  // namespace torvane::fiera
