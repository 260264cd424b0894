#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

namespace torvane {

// Where mail goes out: read on the main thread, so sending touches no preferences.
struct SmtpSettings {
    // "smtp://host[:port]" or "smtps://host[:port]". Plain smtp:// upgrades to TLS when the
    // server offers it, and must upgrade when there is a login: credentials never travel in clear.
    std::string server;
    std::string user;  // empty: no login
    std::string password;
    // A company authority trusted besides the system's (a PEM file); empty: the system's only.
    std::string caFile;
    // A whole message may take this long (photos over a slow line); a server silent for
    // `stallTimeout` ends it much sooner.
    std::chrono::milliseconds timeout{std::chrono::minutes(10)};
    std::chrono::seconds stallTimeout{30};
};

struct SmtpResult {
    bool sent = false;
    std::string reason;  // why not, with the server's own answer when it gave one
    // The server refused the message itself for good (a 5xx answer to the sender, a
    // recipient or the content): sending it again unchanged would be refused again.
    bool permanent = false;
    // The server could not be reached, or asked to try later (a 4xx answer): the same
    // message may well go later. Neither this nor `permanent`: the settings are wrong (login,
    // TLS, certificate) and need the person.
    bool temporary = false;
};

// One message handed to an SMTP server through libcurl. Blocking; callable from any thread.
class SmtpSender {
public:
    // `cancel`, when given, ends a sending under way as soon as it turns true (the application
    // closing): it must outlive the sender.
    explicit SmtpSender(SmtpSettings settings, const std::atomic<bool>* cancel = nullptr)
        : settings_(std::move(settings)), cancel_(cancel) {}

    // Sent only when the server accepted the sender, every recipient and the message.
    SmtpResult send(const std::string& from, const std::vector<std::string>& recipients,
                    const std::string& message) const;

    // The server setting as a URL: a bare host name gets "smtp://"; none of another scheme.
    static std::string serverUrl(const std::string& server);

private:
    SmtpSettings settings_;
    const std::atomic<bool>* cancel_;
};

}  // namespace torvane
