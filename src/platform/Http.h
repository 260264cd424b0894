#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// What a request brought back. `data` is none when nothing usable arrived (no connection,
// time-out, an HTTP error status, a body cut short or over its limit); `error` then says why.
struct HttpResponse {
    std::optional<std::string> data;
    long status = 0;
    std::string error;
    // The answer began but the connection was lost or went silent before its end: what came
    // is a true beginning of the body.
    bool cut = false;
    // The last answer's header lines, names in lower case (the last one of a name wins).
    std::map<std::string, std::string> headers;

    // The header's value, "" when the answer had none.
    std::string header(const std::string& lowerCaseName) const;
};

// How far a transfer has come: bytes received (on the wire), the total when the server
// announced it, and the average speed so far.
struct HttpProgress {
    long long received = 0;
    std::optional<long long> total;
    double bytesPerSecond = 0;
};

// Blocking HTTP through libcurl, for every download and upload of the system: http and https
// only (redirects included), TLS verified, nothing cached, compressed answers asked for and
// decoded, every body bounded after decoding, and time-outs that count idle time only.
class Http {
public:
    static constexpr std::chrono::milliseconds defaultTimeout{10000};
    // The most a body may bring once decoded: a few times the largest catalogue, far below what
    // would exhaust the device (a small gzip answer can decode to gigabytes).
    static constexpr std::uint64_t kMostBodyBytes = std::uint64_t{256} << 20;

    // A GET whose body is handed over as it arrives. The call returns the status and headers;
    // `data` is set (empty) when the whole answer arrived.
    struct Download {
        std::string url;
        std::vector<std::string> headers;  // "Name: value" lines added to the request
        bool compressed = true;            // false asks for the identity encoding (ranges of a document)
        std::chrono::milliseconds timeout = defaultTimeout;
        std::uint64_t mostBytes = kMostBodyBytes;
        // Called before the first body byte with the answer's status and headers (in a
        // response without data); false refuses the body and ends the transfer.
        std::function<bool(long status, const HttpResponse& answer)> onAnswer;
        // Each piece of the decoded body; false ends the transfer (a disk that is full).
        std::function<bool(std::string_view piece)> onBody;
        std::function<void(const HttpProgress&)> onProgress;
    };

    static HttpResponse download(const Download& request);

    // The body kept whole; none for an answer outside 2xx.
    static HttpResponse get(const std::string& url, std::chrono::milliseconds timeout = defaultTimeout);

    // Sends `body` as it is, with the given header lines ("Name: value"). Unlike `get`, an
    // answer with an error status still brings its body (`status` tells the two apart);
    // `data` is none only when no whole answer arrived. Redirects are not followed: a
    // redirected POST would arrive as a GET without the body. Callable from any thread.
    static HttpResponse post(const std::string& url, const std::string& body,
                             const std::vector<std::string>& headers, std::chrono::milliseconds timeout);
};

}  // namespace torvane
