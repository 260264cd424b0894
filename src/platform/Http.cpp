#include "platform/Http.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>

#include "platform/CurlOptions.h"

namespace torvane {

namespace {

// Where an answer's bytes go. The room for a body the server announces is taken at once (up
// to a bound a lying server cannot push past), so an 80 MB catalogue is not copied over and over
// while its buffer doubles.
struct BodySink {
    CURL* curl;
    std::string* body;
    bool sized = false;
};

constexpr curl_off_t kMostReservedBytes = curl_off_t{1} << 30;

size_t appendBody(char* data, size_t size, size_t count, void* target) {
    auto* sink = static_cast<BodySink*>(target);
    try {
        if (!sink->sized) {
            sink->sized = true;
            curl_off_t announced = -1;
            if (curl_easy_getinfo(sink->curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) == CURLE_OK &&
                announced > 0)
                sink->body->reserve(static_cast<std::size_t>(std::min(announced, kMostReservedBytes)));
        }
        sink->body->append(data, size * count);
    } catch (const std::exception&) {
        return 0;  // out of memory: the transfer stops with a write error instead of unwinding through libcurl
    }
    return size * count;
}

// The options every request shares, and the answer collected through `sink`.
void setCommonOptions(CURL* c, std::chrono::milliseconds timeout, BodySink* sink) {
    setSharedCurlOptions(c, timeout);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, sink);
}

}  // namespace

HttpResponse Http::get(const std::string& url, std::chrono::milliseconds timeout) {
    initialiseCurlOnce();
    HttpResponse response;
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) {
        response.error = "libcurl non disponibile";
        return response;
    }
    std::string body;
    std::unique_ptr<curl_slist, void (*)(curl_slist*)> headers(
        curl_slist_append(curl_slist_append(nullptr, "Cache-Control: no-cache"), "Pragma: no-cache"),
        curl_slist_free_all);
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
    BodySink sink{c, &body};
    setCommonOptions(c, timeout, &sink);
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
    CURLcode code = curl_easy_perform(c);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status);
    if (code != CURLE_OK) {
        response.error = curl_easy_strerror(code);
        if (response.status >= 400) response.error += " (HTTP " + std::to_string(response.status) + ")";
        return response;
    }
    response.data = std::move(body);
    return response;
}

HttpResponse Http::post(const std::string& url, const std::string& body, const std::vector<std::string>& headers,
                        std::chrono::milliseconds timeout) {
    initialiseCurlOnce();
    HttpResponse response;
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) {
        response.error = "libcurl non disponibile";
        return response;
    }
    std::unique_ptr<curl_slist, void (*)(curl_slist*)> list(nullptr, curl_slist_free_all);
    // No "Expect: 100-continue": the body goes at once, as one request.
    for (const std::string& header : headers) list.reset(curl_slist_append(list.release(), header.c_str()));
    list.reset(curl_slist_append(list.release(), "Expect:"));
    std::string answer;
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_POST, 1L);
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, list.get());
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    BodySink sink{c, &answer};
    setCommonOptions(c, timeout, &sink);
    CURLcode code = curl_easy_perform(c);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status);
    if (code != CURLE_OK) {
        response.error = curl_easy_strerror(code);
        return response;
    }
    response.data = std::move(answer);
    return response;
}

}  // namespace torvane
