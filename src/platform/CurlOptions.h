#pragma once

#include <curl/curl.h>

#include <chrono>

namespace torvane {

// libcurl's process-wide set-up, done once whichever request comes first.
void initialiseCurlOnce();

// What every libcurl request of the system shares, HTTP or mail: TLS verified, the time-out,
// no signals (requests run on worker threads: the loader's, the upload's, the mail's).
void setSharedCurlOptions(CURL* curl, std::chrono::milliseconds timeout);

}  // namespace torvane
