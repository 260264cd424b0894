#include "platform/CurlOptions.h"

#include <algorithm>
#include <mutex>

namespace torvane {

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

void setSecureCurlOptions(CURL* curl) {
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
}

void setSharedCurlOptions(CURL* curl, std::chrono::milliseconds timeout) {
    setSecureCurlOptions(curl);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeout.count()));
}

void setIdleCurlTimeouts(CURL* curl, std::chrono::milliseconds timeout) {
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max<long long>(1, timeout.count())));
    // libcurl's stall check works in whole seconds: less than one byte a second for that long.
    const long seconds = static_cast<long>(std::max<long long>(1, (timeout.count() + 999) / 1000));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, seconds);
}

}  // namespace torvane
