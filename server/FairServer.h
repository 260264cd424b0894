#pragma once

#include <memory>
#include <optional>
#include <string>

#include "FairServerOptions.h"
#include "OrderInbox.h"
#include "OrdersPage.h"
#include "PageAccess.h"
#include "StaticFiles.h"
#include "UserProfiles.h"

namespace httplib {
class Server;
class Request;
class Response;
class ContentReader;
}  // namespace httplib

namespace torvane::fiera {

// The fair PC's HTTP server: "POST /upload.php" takes orders (multipart field "userfile"),
// "GET /" shows the orders received, "GET /<file>" serves the files of the folder. One log
// line per request. With a profiles file, "POST /ios/userProfile" answers the login.
class FairServer {
public:
    static constexpr const char* ordersFolderName = "ordini";

    explicit FairServer(FairServerOptions options);
    ~FairServer();
    FairServer(const FairServer&) = delete;
    FairServer& operator=(const FairServer&) = delete;

    // Opens the orders folder and binds the address; the reason in `error` when it cannot.
    bool start(std::string& error);
    int port() const { return port_; }
    // Serves until `stop` (from any thread).
    void run();
    void stop();

private:
    void upload(const httplib::Request& request, httplib::Response& response, const httplib::ContentReader& reader);
    void page(const httplib::Request& request, httplib::Response& response);
    void file(const httplib::Request& request, httplib::Response& response);

    FairServerOptions options_;
    OrderInbox inbox_;
    StaticFiles files_;
    OrdersPage page_;
    PageAccess access_;
    std::optional<UserProfiles> profiles_;
    std::unique_ptr<httplib::Server> server_;
    int port_ = 0;
};

}  // namespace torvane::fiera
