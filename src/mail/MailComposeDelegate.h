#pragma once

#include <string>

#include "mail/MailDraft.h"

namespace torvane {

class MailComposeViewController;

// Hears how the compose screen ended; it is the one that dismisses the screen.
class MailComposeDelegate {
public:
    virtual ~MailComposeDelegate() = default;
    // `recipient`: the address finally in the To field (what the order records as where it went).
    virtual void mailComposeControllerDidFinish(MailComposeViewController& composer, MailComposeResult result,
                                                const std::string& recipient) = 0;
};

}  // namespace torvane
