#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mail/MailDraft.h"
#include "platform/IsoDate.h"

namespace torvane {

// Who a written message is from and to, read back from its headers (the outbox sends saved
// messages to the recipients they name).
struct MailEnvelope {
    std::string from;
    std::vector<std::string> to;
    std::vector<std::string> cc;
    std::string subject;
    std::optional<long long> codiceOrdine;  // the order it carries, when it names one
};

// A draft as an RFC 5322 / MIME message, built with GMime: headers encoded for accented text,
// the body part and base64 attachments in one multipart/mixed, CRLF line ends (as SMTP and
// .eml files have them). Callable from any thread.
class MailMessage {
public:
    static constexpr const char* kOrderHeader = "X-Torvane-Ordine";
    // Addresses that are not plain addresses (`MailAddress::isAcceptable`) are left out and
    // control characters in the subject become blanks, so nothing typed can add a header.
    static std::string build(const MailDraft& draft, const std::string& from, Timestamp date);
    // None when the bytes are not a message.
    static std::optional<MailEnvelope> read(const std::string& bytes);
};

}  // namespace torvane
