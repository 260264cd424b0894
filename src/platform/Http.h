#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace torvane {

// What a synchronous GET brought back. `data` is none when nothing usable arrived (no
// connection, time-out, an HTTP error status, a body cut short); `error` then says why.
struct HttpResponse {
    std::optional<std::string> data;
    long status = 0;
    std::string error;
};

// Blocking HTTP through libcurl: redirects followed, TLS verified, nothing cached.
class Http {
public:
    static constexpr std::chrono::milliseconds defaultTimeout{10000};

    static HttpResponse get(const std::string& url, std::chrono::milliseconds timeout = defaultTimeout);
};

}  // namespace torvane
