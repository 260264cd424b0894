#pragma once

#include <optional>
#include <string>

#include "mail/SmtpSender.h"

namespace torvane {

// How this device sends mail, from the preferences.
class MailSettings {
public:
    // The SMTP server and its login; none when no server is set.
    static std::optional<SmtpSettings> smtp();
    // Messages may be kept in the outbox (on unless the person switched it off).
    static bool outboxEnabled();
    // A server is set, or the outbox can keep the message until one is.
    static bool canSendMail();
    // The sender: pref_SMTPFROM when it is an address, else the SMTP login when it is one,
    // else "<user>@torvane.invalid" (a domain that can never be anybody's).
    static std::string fromAddress();
};

}  // namespace torvane
