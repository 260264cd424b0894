#pragma once

#include <optional>
#include <string>
#include <vector>

namespace torvane {

class SmtpSender;

struct OutboxEntry {
    std::string file;  // the name in the outbox
    std::string to;    // the recipients, as a field shows them
    std::string subject;
    std::optional<long long> codiceOrdine;  // the order it carries
    // Refused for good by the server (or unreadable): not sent again until asked to.
    bool refused = false;
    std::string lastFailure;  // why the last attempt failed; empty before any
};

struct OutboxSendResult {
    std::string file;
    bool sent = false;
    std::string reason;  // why it stayed in the outbox
    bool refused = false;  // for good: retrying it unchanged would fail again
};

// What the settings screen shows: cheap to read (no message is opened).
struct OutboxStatus {
    int waiting = 0;
    std::string lastFailure;  // the newest failure of a message still waiting
};

// Which messages a run sends: those still worth retrying, or every one (the person asked).
enum class OutboxRun { Retry, Everything };

// Messages kept to be sent later: .eml files in "Outbox" under the documents folder, readable
// by this user only, written whole (temporary file, flush to disk, rename) so a power cut
// leaves either the message or nothing. A message moves to "Inviati" only after the server
// accepted it, so none is lost and none goes twice. A failed message keeps its last failure
// beside it ("<name>.stato"); one the server refused for good is marked so and left to the
// person, since sending it again unchanged would be refused again.
class Outbox {
public:
    Outbox();
    Outbox(std::string folder, std::string sentFolder);

    const std::string& folder() const { return folder_; }
    const std::string& sentFolder() const { return sentFolder_; }

    // The path of the new file; none when it could not be written (the reason is logged).
    std::optional<std::string> save(const std::string& message) const;
    // The saved messages, oldest first.
    std::vector<OutboxEntry> list() const;
    OutboxStatus status() const;
    // Sends the saved messages, oldest first; `Retry` leaves out those refused for good. One
    // run at a time, across processes: a second one finds the outbox busy and sends nothing.
    std::vector<OutboxSendResult> sendAll(const SmtpSender& sender, OutboxRun which = OutboxRun::Everything) const;

private:
    struct Mark {
        bool refused = false;
        std::string reason;
    };
    std::vector<std::string> messageFiles() const;
    std::optional<Mark> markOf(const std::string& file) const;
    void setMark(const std::string& file, const Mark& mark) const;
    OutboxSendResult sendOne(const SmtpSender& sender, const std::string& file) const;

    std::string folder_;
    std::string sentFolder_;
};

}  // namespace torvane
