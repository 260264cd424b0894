#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "FileConditions.h"

struct MHD_Response;

namespace torvane::fiera {

// The answer to a GET of a served file, from the representation chosen (the file or its gzip
// copy): 304 when the client's copy is current, 206 with one range or several
// (multipart/byteranges), 416 for ranges past the end, 200 with the whole file otherwise.
// Bodies are read from the open file as they are sent, never held whole.
struct FileResponse {
    struct Representation {
        int fd = -1;  // taken by build()
        std::uint64_t size = 0;
        std::string etag;
        std::time_t modified = 0;
        std::string contentType;
        bool gzipped = false;
        bool varies = false;  // compressible: the answer depends on Accept-Encoding
    };

    static FileResponse build(const Representation& chosen, const FileRequest& request);

    int status = 200;
    MHD_Response* response = nullptr;
    std::uint64_t bytes = 0;  // the body's size
    std::string contentRange;
};

}  // namespace torvane::fiera
