#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "ConnectionWatch.h"
#include "IncomingOrder.h"
#include "LoginThrottle.h"
#include "OrderInbox.h"

struct MHD_Connection;
struct MHD_Response;
struct MHD_PostProcessor;

namespace torvane::fiera {

// One request on the fair server, from its first line to the end of its answer: what it
// asked, what it has sent so far, what it is being answered.
struct HttpExchange {
    enum class Route { Upload, Login, Page, File, Refused };

    HttpExchange(MHD_Connection* connection, ConnectionWatch& watch, OrderInbox& inbox);
    ~HttpExchange();
    HttpExchange(const HttpExchange&) = delete;
    HttpExchange& operator=(const HttpExchange&) = delete;

    // Queues `response` (and releases it); the answer's size sets its deadline.
    void send(int code, MHD_Response* response, std::uint64_t bytes);
    // A line of text as the answer; `close` ends the connection after it.
    void text(int code, const std::string& body, bool close = false);
    // A new part of a form starts when the field changes, or when its offset starts again.
    bool newPart(const char* key, std::uint64_t offset);

    MHD_Connection* const connection;
    ConnectionWatch& watch;
    OrderInbox& inbox;  // where an upload goes
    ConnectionWatch::Connection* watched = nullptr;
    std::string method, path, address;
    Route route = Route::Refused;
    std::uint64_t bodyLimit = 0, bodyBytes = 0;
    int status = 0;
    std::string note;
    bool begun = false, answered = false, cut = false, badBody = false, notForm = false;
    MHD_PostProcessor* form = nullptr;
    std::string partKey;
    std::uint64_t partBytes = 0;
    // An upload.
    std::unique_ptr<IncomingOrder> incoming;
    std::string sentName;
    bool inField = false, seenField = false, diskFailed = false;
    // A login.
    std::string user, password;
    bool haveUser = false, havePassword = false;
    std::optional<LoginThrottle::Clock::time_point> turn;
};

}  // namespace torvane::fiera
