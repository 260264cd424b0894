#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace torvane {

// Where mail goes out: read on the main thread, so sending touches no preferences.
struct SmtpSettings {
    std::string server;  // "smtp://host[:port]" (STARTTLS when offered) or "smtps://host[:port]"
    std::string user;    // empty: no login
    std::string password;
    // A whole message may take this long (photos over a slow line); a server silent for
    // `stallTimeout` ends it much sooner.
    std::chrono::milliseconds timeout{std::chrono::minutes(10)};
    std::chrono::seconds stallTimeout{30};
};

struct SmtpResult {
    bool sent = false;
    std::string reason;  // why not, with the server's own answer when it gave one
};

// One message handed to an SMTP server through libcurl. Blocking; callable from any thread.
class SmtpSender {
public:
    explicit SmtpSender(SmtpSettings settings) : settings_(std::move(settings)) {}

    // Sent only when the server accepted the sender, every recipient and the message.
    SmtpResult send(const std::string& from, const std::vector<std::string>& recipients,
                    const std::string& message) const;

    // The server setting as a URL: a bare host name gets "smtp://"; none of another scheme.
    static std::string serverUrl(const std::string& server);

private:
    SmtpSettings settings_;
};

}  // namespace torvane
