#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "CompressedCopies.h"
#include "ConnectionWatch.h"
#include "FairServerOptions.h"
#include "LoginThrottle.h"
#include "OrderInbox.h"
#include "OrdersPage.h"
#include "PageAccess.h"
#include "PausedConnections.h"
#include "StaticFiles.h"
#include "UserProfiles.h"

struct MHD_Daemon;
struct MHD_Connection;

namespace torvane::fiera {

struct HttpExchange;

// The fair PC's HTTP server: "POST /upload.php" takes orders (multipart field "userfile"),
// "GET /" shows the orders received, "GET /<file>" serves the files of the folder (gzip,
// validators, ranges). With a profiles file, "POST /ios/userProfile" answers the login. One
// log line per request.
//
// It listens on a small pool of event-loop threads, so a slow client holds a connection,
// never a thread; what a client may send or hold is bounded at the edge: connections in all
// and per address, a deadline for the headers, a minimum rate for bodies and answers, a size
// limit on every route's body counted as it arrives, no compressed request bodies.
class FairServer {
public:
    static constexpr const char* ordersFolderName = "ordini";
    static constexpr std::size_t maxLoginBody = 64 * 1024;

    explicit FairServer(FairServerOptions options);
    ~FairServer();
    FairServer(const FairServer&) = delete;
    FairServer& operator=(const FairServer&) = delete;

    // Opens the orders folder and starts listening; the reason in `error` when it cannot.
    bool start(std::string& error);
    int port() const { return port_; }
    // Serves until `stop` (from any thread).
    void run();
    void stop();

private:
    friend struct ServerCallbacks;

    void begin(HttpExchange& exchange);
    void receive(HttpExchange& exchange, const char* data, std::size_t size);
    void respond(HttpExchange& exchange);
    void upload(HttpExchange& exchange);
    void login(HttpExchange& exchange);
    void page(HttpExchange& exchange);
    void file(HttpExchange& exchange);
    void logRequest(const HttpExchange& exchange) const;

    FairServerOptions options_;
    OrderInbox inbox_;
    StaticFiles files_;
    OrdersPage page_;
    PageAccess access_;
    std::optional<UserProfiles> profiles_;
    LoginThrottle throttle_;
    // In this order: the copies' last waiters are resumed through `paused_` as they go.
    std::unique_ptr<ConnectionWatch> watch_;
    std::unique_ptr<PausedConnections> paused_;
    std::unique_ptr<CompressedCopies> copies_;
    MHD_Daemon* daemon_ = nullptr;
    int port_ = 0;
    std::mutex runMutex_;
    std::condition_variable stopped_;
    bool stopRequested_ = false;
};

}  // namespace torvane::fiera
