#pragma once

#include <curl/curl.h>

#include <chrono>

namespace torvane {

// libcurl's process-wide set-up, done once whichever request comes first.
void initialiseCurlOnce();

// What every libcurl request of the system shares, HTTP or mail: TLS verified, no signals
// (requests run on worker threads: the loader's, the upload's, the mail's).
void setSecureCurlOptions(CURL* curl);

// The mail's options: the secure ones and a limit on the whole exchange.
void setSharedCurlOptions(CURL* curl, std::chrono::milliseconds timeout);

// The web requests' waits: `timeout` counts idle time only. The connection must be made
// within it, and a transfer fails when bytes almost stop moving for that long, however long it
// has run: a large catalogue on a slow but steady line arrives. (The HTTP layer measures the
// silence itself, to the second, on top of this.)
void setIdleCurlTimeouts(CURL* curl, std::chrono::milliseconds timeout);

}  // namespace torvane
