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
};

struct OutboxSendResult {
    std::string file;
    bool sent = false;
    std::string reason;  // why it stayed in the outbox
};

// Messages kept to be sent later: .eml files in "Outbox" under the documents folder, readable
// by this user only, written whole (temporary file, flush to disk, rename) so a power cut
// leaves either the message or nothing. A message moves to "Inviati" only after the server
// accepted it, so none is lost and none goes twice.
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
    // Sends each saved message, oldest first. One run at a time: a second one finds the
    // outbox busy and sends nothing.
    std::vector<OutboxSendResult> sendAll(const SmtpSender& sender) const;

private:
    std::vector<std::string> messageFiles() const;
    OutboxSendResult sendOne(const SmtpSender& sender, const std::string& file) const;

    std::string folder_;
    std::string sentFolder_;
};

}  // namespace torvane
