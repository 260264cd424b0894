#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mail/MailComposeDelegate.h"
#include "mail/MailDraft.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Ui.h"

namespace torvane {

struct SmtpResult;

// The compose screen: recipients, subject, a preview of the body and the attachments, with
// "Invia" (through the SMTP server, off the main thread), "Salva" (into the outbox) and
// "Annulla". Presented modally by its caller, held by a shared pointer; it never dismisses
// itself: the delegate hears the result and dismisses it. While a message is being sent the
// buttons do nothing, so one press is one message. A failure is shown and the screen stays;
// a server out of reach puts the message in the outbox (when on) and ends as `Queued`.
class MailComposeViewController : public ui::Screen {
public:
    static constexpr int kToTag = 1;
    static constexpr int kCcTag = 2;
    static constexpr int kSubjectTag = 3;
    static constexpr const char* kQueuedMessage =
        "Messaggio in uscita: partira' appena il server di posta e' raggiungibile";

    MailComposeViewController(ui::Ui& ui, MailDraft draft, MailComposeDelegate* delegate);

    // An SMTP server is set, or the outbox is on.
    static bool canSendMail();

    const MailDraft& draft() const { return draft_; }
    // The To field as the person left it.
    const std::string& recipientField() const { return toField_; }
    void setRecipientField(std::string field);
    bool isSending() const { return sending_; }
    // Why the last "Invia" or "Salva" failed; empty when none did.
    const std::string& lastFailure() const { return lastFailure_; }

    // ui::Screen
    std::string title() const override { return "Messaggio"; }
    std::vector<ui::NavigationButton> navigationButtons() const override;
    std::vector<ui::Section> sections() const override;
    void textFieldDidEndEditing(int tag, const std::string& text) override;
    void navigationButtonTapped(const std::string& action) override;

private:
    // The message for the fields as they are now; none (and an alert) when an address is refused.
    std::optional<std::string> checkedMessage();
    void send();
    void save();
    void sendingEnded(const SmtpResult& result, const std::string& message);
    void fail(const std::string& reason);
    void finish(MailComposeResult result);

    MailDraft draft_;
    MailComposeDelegate* delegate_;
    std::string toField_;
    std::string ccField_;
    std::string bodyPreview_;  // the body's text, read once: an order's page can be long
    bool sending_ = false;
    std::string lastFailure_;
};

}  // namespace torvane
