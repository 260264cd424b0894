#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

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

    // Sends `body` as it is, with the given header lines ("Name: value"). Unlike `get`, an
    // answer with an error status still brings its body (`status` tells the two apart);
    // `data` is none only when no whole answer arrived. Redirects are not followed: a
    // redirected POST would arrive as a GET without the body. Callable from any thread.
    static HttpResponse post(const std::string& url, const std::string& body,
                             const std::vector<std::string>& headers, std::chrono::milliseconds timeout);
};

}  // namespace torvane
