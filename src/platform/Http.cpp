#include "platform/Http.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/CurlOptions.h"
#include "platform/Format.h"

namespace torvane {

namespace {

// Only the web's own protocols, on the first request and on every redirect: an address from a
// catalogue must not read local files or speak to other services.
constexpr const char* kProtocols = "http,https";
constexpr const char* kCompressions = "gzip, deflate";
// Header lines kept of one answer; what a server sends beyond is ignored.
constexpr std::size_t kMostHeaderBytes = 64 * 1024;
constexpr long long kMostReservedBytes = 1LL << 30;

using CurlHandle = std::unique_ptr<CURL, void (*)(CURL*)>;
using HeaderList = std::unique_ptr<curl_slist, void (*)(curl_slist*)>;

// One transfer's state, shared by libcurl's callbacks.
struct Transfer {
    CURL* curl = nullptr;
    const Http::Download* request = nullptr;
    HttpResponse response;
    std::uint64_t received = 0;
    std::size_t headerBytes = 0;
    bool started = false;
    bool tooLarge = false;
    // The idle clock: when bytes last moved either way.
    curl_off_t moved = -1;
    std::chrono::steady_clock::time_point lastMoved = std::chrono::steady_clock::now();
    bool stalled = false;
};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

size_t collectHeader(char* data, size_t size, size_t count, void* target) {
    auto* transfer = static_cast<Transfer*>(target);
    const std::string_view line(data, size * count);
    try {
        if (line.rfind("HTTP/", 0) == 0) {  // a new answer (after a redirect or a 100): its own headers only
            transfer->response.headers.clear();
            transfer->headerBytes = 0;
        } else if (auto colon = line.find(':');
                   colon != std::string_view::npos && transfer->headerBytes + line.size() <= kMostHeaderBytes) {
            std::string name(trimmed(line.substr(0, colon)));
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            transfer->response.headers[name] = std::string(trimmed(line.substr(colon + 1)));
            transfer->headerBytes += line.size();
        }
    } catch (const std::exception&) {
        return 0;
    }
    return line.size();
}

size_t takeBody(char* data, size_t size, size_t count, void* target) {
    auto* transfer = static_cast<Transfer*>(target);
    const Http::Download& request = *transfer->request;
    const size_t n = size * count;
    try {
        if (!transfer->started) {
            transfer->started = true;
            curl_easy_getinfo(transfer->curl, CURLINFO_RESPONSE_CODE, &transfer->response.status);
            if (request.onAnswer && !request.onAnswer(transfer->response.status, transfer->response)) return 0;
        }
        // Counted after decoding: the limit holds for compressed answers too.
        if (n > request.mostBytes - transfer->received) {
            transfer->tooLarge = true;
            return 0;
        }
        transfer->received += n;
        if (request.onBody && !request.onBody(std::string_view(data, n))) return 0;
    } catch (const std::exception&) {
        return 0;  // out of memory: the transfer stops with a write error instead of unwinding through libcurl
    }
    return n;
}

// Called about once a second even when nothing moves: the idle time-out is measured here, to
// the second (libcurl's own low-speed check averages over several seconds).
int reportProgress(void* target, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t sent) {
    auto* transfer = static_cast<Transfer*>(target);
    const auto clock = std::chrono::steady_clock::now();
    if (now + sent != transfer->moved) {
        transfer->moved = now + sent;
        transfer->lastMoved = clock;
    } else if (clock - transfer->lastMoved > transfer->request->timeout) {
        transfer->stalled = true;
        return 1;
    }
    if (!transfer->request->onProgress) return 0;
    try {
        HttpProgress progress;
        progress.received = now;
        if (total > 0) progress.total = total;
        curl_off_t speed = 0;
        if (curl_easy_getinfo(transfer->curl, CURLINFO_SPEED_DOWNLOAD_T, &speed) == CURLE_OK)
            progress.bytesPerSecond = static_cast<double>(speed);
        transfer->request->onProgress(progress);
    } catch (const std::exception&) {
        return 1;
    }
    return 0;
}

HeaderList headerList(const std::vector<std::string>& lines) {
    HeaderList list(nullptr, curl_slist_free_all);
    for (const std::string& line : lines) list.reset(curl_slist_append(list.release(), line.c_str()));
    return list;
}

// The options every request shares, and the answer collected through `transfer`.
void setCommonOptions(CURL* c, const std::string& url, Transfer& transfer) {
    const Http::Download& request = *transfer.request;
    transfer.curl = c;
    setSecureCurlOptions(c);
    setIdleCurlTimeouts(c, request.timeout);
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, kProtocols);
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, kProtocols);
    curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, request.compressed ? kCompressions : "identity");
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.mostBytes));
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, collectHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, takeBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, reportProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
}

// Runs the transfer; `data` is set (empty) when the whole answer arrived.
HttpResponse perform(CURL* c, Transfer& transfer) {
    const CURLcode code = curl_easy_perform(c);
    HttpResponse response = std::move(transfer.response);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status);
    if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED)
        response.error = format("risposta oltre il limite di %d byte", static_cast<long long>(transfer.request->mostBytes));
    else if (transfer.stalled)
        response.error = format("%@: nessun dato per %d ms", curl_easy_strerror(CURLE_OPERATION_TIMEDOUT),
                                static_cast<long long>(transfer.request->timeout.count()));
    else if (code != CURLE_OK)
        response.error = curl_easy_strerror(code);
    else
        response.data.emplace();
    response.cut = transfer.started && (code == CURLE_PARTIAL_FILE || code == CURLE_OPERATION_TIMEDOUT ||
                                        code == CURLE_RECV_ERROR || transfer.stalled);
    return response;
}

// A body kept whole in `body`. The room for a body the server announces is taken at once (up to
// a bound a lying server cannot push past): an 80 MB catalogue is not copied over and over
// while its buffer doubles.
void reserveAnnounced(const HttpResponse& answer, std::string& body) {
    const std::string announced = answer.header("content-length");
    if (announced.empty() || announced.size() > 18 ||
        !std::all_of(announced.begin(), announced.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return;
    body.reserve(static_cast<std::size_t>(std::min(std::stoll(announced), kMostReservedBytes)));
}

HttpResponse unavailable() {
    HttpResponse response;
    response.error = "libcurl non disponibile";
    return response;
}

}  // namespace

std::string HttpResponse::header(const std::string& lowerCaseName) const {
    auto found = headers.find(lowerCaseName);
    return found == headers.end() ? std::string() : found->second;
}

HttpResponse Http::download(const Download& request) {
    initialiseCurlOnce();
    CurlHandle curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) return unavailable();
    HeaderList headers = headerList(request.headers);
    CURL* c = curl.get();
    Transfer transfer;
    transfer.request = &request;
    setCommonOptions(c, request.url, transfer);
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
    return perform(c, transfer);
}

HttpResponse Http::get(const std::string& url, std::chrono::milliseconds timeout) {
    std::string body;
    Download request;
    request.url = url;
    request.headers = {"Cache-Control: no-cache", "Pragma: no-cache"};
    request.timeout = timeout;
    request.onAnswer = [&body](long status, const HttpResponse& answer) {
        if (status < 200 || status >= 300) return false;
        reserveAnnounced(answer, body);
        return true;
    };
    request.onBody = [&body](std::string_view piece) {
        body.append(piece);
        return true;
    };
    HttpResponse response = download(request);
    if (response.status < 200 || response.status >= 300) {
        response.error = format("%@ (HTTP %d)", response.error.empty() ? std::string("risposta non valida") : response.error,
                                static_cast<long long>(response.status));
        response.data.reset();
    } else if (response.data) {
        response.data = std::move(body);
    }
    return response;
}

HttpResponse Http::post(const std::string& url, const std::string& body, const std::vector<std::string>& headers,
                        std::chrono::milliseconds timeout) {
    initialiseCurlOnce();
    CurlHandle curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) return unavailable();
    CURL* c = curl.get();
    std::string answer;
    Download request;
    request.timeout = timeout;
    request.onAnswer = [&answer](long, const HttpResponse& headers) {
        reserveAnnounced(headers, answer);
        return true;
    };
    request.onBody = [&answer](std::string_view piece) {
        answer.append(piece);
        return true;
    };
    // No "Expect: 100-continue": the body goes at once, as one request.
    std::vector<std::string> lines = headers;
    lines.push_back("Expect:");
    HeaderList list = headerList(lines);
    Transfer transfer;
    transfer.request = &request;
    setCommonOptions(c, url, transfer);
    curl_easy_setopt(c, CURLOPT_POST, 1L);
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, list.get());
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    HttpResponse response = perform(c, transfer);
    if (response.data) response.data = std::move(answer);
    return response;
}

}  // namespace torvane
