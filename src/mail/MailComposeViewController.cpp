#include "mail/MailComposeViewController.h"

#include <chrono>
#include <cstdio>
#include <memory>

#include "mail/HtmlPreview.h"
#include "mail/MailAddress.h"
#include "mail/MailMessage.h"
#include "mail/MailSettings.h"
#include "mail/Outbox.h"
#include "mail/OutboxSender.h"
#include "mail/SmtpSender.h"
#include "platform/Log.h"
#include "platform/ui/Ui.h"

namespace torvane {

namespace {

// The background sender, when the application runs one, takes a newly saved message at once.
void wakeOutboxSender() {
    if (OutboxSender* sender = OutboxSender::shared()) sender->drainNow(MailSettings::smtp());
}

std::string sizeText(std::size_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + " byte";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f KB", static_cast<double>(bytes) / 1024.0);
    std::string shown = text;
    if (auto dot = shown.find('.'); dot != std::string::npos) shown[dot] = ',';
    return shown;
}

ui::Row fieldRow(const std::string& label, int tag, const std::string& text) {
    ui::Row row;
    row.selectable = false;
    ui::TextField field;
    field.tag = tag;
    field.text = text;
    field.keyboard = tag == MailComposeViewController::kSubjectTag ? ui::Keyboard::Default : ui::Keyboard::Email;
    ui::Label title;
    title.text = label;
    row.items = {title, field};
    return row;
}

}  // namespace

MailComposeViewController::MailComposeViewController(ui::Ui& ui, MailDraft draft, MailComposeDelegate* delegate)
    : ui::Screen(ui),
      draft_(std::move(draft)),
      delegate_(delegate),
      toField_(MailAddress::join(draft_.to)),
      ccField_(MailAddress::join(draft_.cc)),
      bodyPreview_(draft_.htmlBody ? HtmlPreview::textOf(*draft_.htmlBody) : draft_.textBody.value_or("")) {}

bool MailComposeViewController::canSendMail() { return MailSettings::canSendMail(); }

void MailComposeViewController::setRecipientField(std::string field) { toField_ = std::move(field); }

std::vector<ui::NavigationButton> MailComposeViewController::navigationButtons() const {
    return {{"annulla", "Annulla", ui::NavigationSide::Left, !sending_},
            {"salva", "Salva", ui::NavigationSide::Right, !sending_ && MailSettings::outboxEnabled()},
            {"invia", "Invia", ui::NavigationSide::Right, !sending_}};
}

std::vector<ui::Section> MailComposeViewController::sections() const {
    std::vector<ui::Section> sections;
    sections.push_back({"", sending_ ? "Invio in corso ..." : "",
                        {fieldRow("A", kToTag, toField_), fieldRow("Cc", kCcTag, ccField_),
                         fieldRow("Oggetto", kSubjectTag, draft_.subject)}});
    if (!bodyPreview_.empty()) {
        ui::Row row;
        row.selectable = false;
        row.items = {ui::MultilineText{0, bodyPreview_, false}};
        sections.push_back({"Testo", "", {row}});
    }
    if (!draft_.attachments.empty()) {
        ui::Section attachments{"Allegati", "", {}};
        for (const MailAttachment& attachment : draft_.attachments) {
            ui::Row row = ui::Row::labels({attachment.fileName, attachment.mediaType, sizeText(attachment.bytes.size())});
            row.selectable = false;
            attachments.rows.push_back(std::move(row));
        }
        sections.push_back(std::move(attachments));
    }
    return sections;
}

void MailComposeViewController::textFieldDidEndEditing(int tag, const std::string& text) {
    if (tag == kToTag) toField_ = text;
    else if (tag == kCcTag) ccField_ = text;
    else if (tag == kSubjectTag) draft_.subject = text;
}

void MailComposeViewController::navigationButtonTapped(const std::string& action) {
    if (sending_) return;
    // What is being typed counts: the field reports its text when editing ends.
    ui().endEditing(*this);
    if (action == "invia") send();
    else if (action == "salva") save();
    else if (action == "annulla") finish(MailComposeResult::Cancelled);
}

std::optional<std::string> MailComposeViewController::checkedMessage() {
    const std::vector<std::string> to = MailAddress::split(toField_);
    const std::vector<std::string> cc = MailAddress::split(ccField_);
    std::optional<std::string> refused;
    if (to.empty()) refused = "Manca il destinatario";
    for (const std::string& address : to)
        if (!refused && !MailAddress::isAcceptable(address)) refused = "Indirizzo non valido: " + address;
    for (const std::string& address : cc)
        if (!refused && !MailAddress::isAcceptable(address)) refused = "Indirizzo in copia non valido: " + address;
    if (refused) {
        // A line break would end up in the shown text too: it is shown as a blank.
        std::string shown = *refused;
        for (char& c : shown)
            if (static_cast<unsigned char>(c) < 0x20) c = ' ';
        Log::f("Messaggio non composto: %@", shown);
        ui().showAlert(ui::Alert::simple(std::string("Attenzione:"), shown, "OK"));
        return std::nullopt;
    }
    draft_.to = to;
    draft_.cc = cc;
    toField_ = MailAddress::join(to);
    ccField_ = MailAddress::join(cc);
    return MailMessage::build(draft_, MailSettings::fromAddress(), std::chrono::system_clock::now());
}

void MailComposeViewController::send() {
    auto message = checkedMessage();
    if (!message) return;
    auto smtp = MailSettings::smtp();
    if (!smtp) {
        // No server yet: the outbox keeps the message until there is one.
        if (MailSettings::outboxEnabled()) {
            Log::line("Nessun server SMTP: il messaggio resta nella posta in uscita");
            if (Outbox().save(*message)) {
                wakeOutboxSender();
                return finish(MailComposeResult::Saved);
            }
            return fail("non riesco a scrivere nella posta in uscita");
        }
        return fail("nessun server SMTP impostato");
    }
    std::vector<std::string> recipients = draft_.to;
    recipients.insert(recipients.end(), draft_.cc.begin(), draft_.cc.end());
    sending_ = true;
    lastFailure_.clear();
    redraw();
    std::weak_ptr<ui::Screen> weak = weak_from_this();
    ui::Ui& platform = ui();
    platform.runInBackground([&platform, weak, settings = std::move(*smtp), from = MailSettings::fromAddress(),
                              recipients = std::move(recipients), message = std::move(*message)]() mutable {
        SmtpResult result = SmtpSender(settings).send(from, recipients, message);
        platform.postToMain([weak, result = std::move(result), message = std::move(message)] {
            if (auto screen = weak.lock()) static_cast<MailComposeViewController&>(*screen).sendingEnded(result, message);
        });
    });
}

void MailComposeViewController::sendingEnded(const SmtpResult& result, const std::string& message) {
    sending_ = false;
    redraw();
    if (result.sent) {
        Log::f("Messaggio inviato a %@", toField_);
        return finish(MailComposeResult::Sent);
    }
    // A server out of reach is the usual case at a fair: the message waits in the outbox
    // rather than being lost with the screen. A refusal or wrong settings need the person.
    if (!result.temporary || !MailSettings::outboxEnabled()) return fail(result.reason);
    Log::f("Invio non riuscito (%@): il messaggio resta nella posta in uscita", result.reason);
    if (!Outbox().save(message)) return fail(result.reason + "; non riesco a scrivere nella posta in uscita");
    wakeOutboxSender();
    finish(MailComposeResult::Queued);
}

void MailComposeViewController::save() {
    if (!MailSettings::outboxEnabled()) return fail("la posta in uscita e' disattivata");
    auto message = checkedMessage();
    if (!message) return;
    auto path = Outbox().save(*message);
    if (!path) return fail("non riesco a scrivere nella posta in uscita");
    Log::f("Messaggio salvato in %@", *path);
    wakeOutboxSender();
    finish(MailComposeResult::Saved);
}

// The screen stays with everything the person wrote: the message can go once the reason is
// mended (another address, the settings).
void MailComposeViewController::fail(const std::string& reason) {
    lastFailure_ = reason;
    Log::f("Invio fallito: %@", reason);
    ui().showAlert(ui::Alert::simple(std::string("Invio fallito"), reason, "OK"));
}

void MailComposeViewController::finish(MailComposeResult result) {
    if (delegate_) delegate_->mailComposeControllerDidFinish(*this, result, toField_);
}

}  // namespace torvane
