#pragma once

#include <httplib.h>

#include <string>

namespace torvane::test {

// `plain` as a gzip stream, for servers that send compressed answers of their own making.
inline std::string gzipped(const std::string& plain) {
    std::string packed;
    httplib::detail::gzip_compressor compressor;
    compressor.compress(plain.data(), plain.size(), true, [&packed](const char* data, size_t n) {
        packed.append(data, n);
        return true;
    });
    return packed;
}

}  // namespace torvane::test
