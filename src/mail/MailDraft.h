#pragma once

#include <optional>
#include <string>
#include <vector>

namespace torvane {

struct MailAttachment {
    std::string fileName;
    std::string mediaType;
    std::string bytes;
};

// A message before it is sent or saved: what the compose screen shows and the person may
// still change (recipients, subject).
struct MailDraft {
    std::vector<std::string> to;  // usually one: the client's e-mail
    std::vector<std::string> cc;
    std::string subject;
    std::optional<std::string> htmlBody;  // when set the body is HTML
    std::optional<std::string> textBody;  // else this plain text; neither = no body
    std::vector<MailAttachment> attachments;  // in order
    // The order the message carries, kept in its header so that a message waiting in the
    // outbox can be told apart for its order.
    std::optional<long long> codiceOrdine;
};

// Queued: "Invia" could not reach the server and the outbox took the message, to send it
// as soon as the server can be reached.
enum class MailComposeResult { Cancelled, Saved, Sent, Failed, Queued };

}  // namespace torvane
