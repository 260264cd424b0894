// The compose screen against a real SMTP server on loopback: what arrives, what a refusing
// server leaves, addresses that could add headers, and the outbox.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "MailTestSupport.h"
#include "mail/MailComposeViewController.h"
#include "mail/Outbox.h"
#include "platform/PreferenceKeys.h"
#include "store/StoreFixture.h"
#include "support/FakeUi.h"

namespace torvane::test {
namespace {

struct Finished : MailComposeDelegate {
    std::vector<std::pair<MailComposeResult, std::string>> calls;
    void mailComposeControllerDidFinish(MailComposeViewController&, MailComposeResult result,
                                        const std::string& recipient) override {
        calls.emplace_back(result, recipient);
    }
};

struct MailComposeTest : StoreFixture {
    FakeUi ui;
    Finished finished;

    static MailDraft draft() {
        MailDraft d;
        d.to = {"cliente@example.it"};
        d.cc = {"copia@azienda.it"};
        d.subject = "FIERA Pitti - Tessuti & Figli <Società> del 08-12-2026";
        d.htmlBody = "<html><body><p>Proposta d'ordine: Società</p></body></html>";
        d.attachments = {{"FirmaOrdine.jpg", "image/jpeg", std::string("\xFF\xD8\xFF\x00\x01\x02\r\n", 9)},
                         {"Ordine.xml", "text/plain", "<Ordine>perché</Ordine>\n"}};
        return d;
    }
    std::shared_ptr<MailComposeViewController> composer(MailDraft d = draft()) {
        return std::make_shared<MailComposeViewController>(ui, std::move(d), &finished);
    }
    void useServer(const SmtpServer& server) {
        Preferences::standard().setString(keys::pref_SMTPSERVER, server.url());
        Preferences::standard().setString(keys::pref_SMTPFROM, "agente@azienda.it");
    }
};

TEST_F(MailComposeTest, InviaDeliversTheWholeMessageOnce) {
    SmtpServer server(dir.file("smtp"));
    useServer(server);
    auto screen = composer();
    screen->navigationButtonTapped("invia");
    screen->navigationButtonTapped("invia");  // pressed again while sending: nothing more
    EXPECT_TRUE(screen->isSending());
    ui.drainMain();

    ASSERT_EQ(finished.calls.size(), 1u);
    EXPECT_EQ(finished.calls[0], std::make_pair(MailComposeResult::Sent, std::string("cliente@example.it")));
    const auto received = server.received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].from, "agente@azienda.it");
    EXPECT_EQ(received[0].recipients, (std::vector<std::string>{"cliente@example.it", "copia@azienda.it"}));
    const ParsedMail mail = parseMail(received[0].bytes);
    EXPECT_EQ(mail.subject, draft().subject);
    EXPECT_EQ(mail.to, draft().to);
    EXPECT_EQ(mail.cc, draft().cc);
    EXPECT_EQ(mail.bodyType, "text/html");
    EXPECT_EQ(mail.body, *draft().htmlBody);
    ASSERT_EQ(mail.attachments.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(mail.attachments[i].fileName, draft().attachments[i].fileName);
        EXPECT_EQ(mail.attachments[i].mediaType, draft().attachments[i].mediaType);
        EXPECT_EQ(mail.attachments[i].bytes, draft().attachments[i].bytes);
    }
    // Accented text never travels as raw 8-bit header bytes.
    const std::string headers = received[0].bytes.substr(0, received[0].bytes.find("\r\n\r\n"));
    EXPECT_EQ(headers.find("Società"), std::string::npos);
}

TEST_F(MailComposeTest, ARefusalIsShownAndTheScreenKeepsTheMessage) {
    SmtpServer refusing(dir.file("refusing"), {"--refuse", "cliente@example.it"});
    useServer(refusing);
    auto screen = composer();
    screen->navigationButtonTapped("invia");
    ui.drainMain();
    EXPECT_TRUE(finished.calls.empty()) << "the screen stays";
    EXPECT_NE(screen->lastFailure().find("550"), std::string::npos) << screen->lastFailure();
    EXPECT_TRUE(ui.sawAlert(std::string("Invio fallito"), screen->lastFailure()));
    EXPECT_TRUE(Outbox().list().empty()) << "a refused message would be refused again";

    // Nothing was lost: the same screen sends once the address is mended.
    screen->setRecipientField("altro@example.it");
    screen->navigationButtonTapped("invia");
    ui.drainMain();
    ASSERT_EQ(finished.calls.size(), 1u);
    EXPECT_EQ(finished.calls[0].first, MailComposeResult::Sent);
    EXPECT_EQ(refusing.received().size(), 1u);
}

TEST_F(MailComposeTest, AServerOutOfReachLeavesTheMessageInTheOutbox) {
    SmtpServer server(dir.file("smtp"));
    useServer(server);
    server.stop();
    auto screen = composer();
    screen->navigationButtonTapped("invia");
    ui.drainMain();
    ASSERT_EQ(finished.calls.size(), 1u);
    EXPECT_EQ(finished.calls[0].first, MailComposeResult::Queued);
    auto waiting = Outbox().list();
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].subject, draft().subject);

    // With the outbox off the failure is shown and the screen stays with its content.
    Preferences::standard().setBool(keys::pref_OUTBOXENABLED, false);
    auto second = composer();
    second->navigationButtonTapped("invia");
    ui.drainMain();
    EXPECT_EQ(finished.calls.size(), 1u);
    EXPECT_TRUE(ui.sawAlert(std::string("Invio fallito"), second->lastFailure()));
    EXPECT_EQ(second->draft().attachments.size(), 2u);
    EXPECT_EQ(Outbox().list().size(), 1u);
}

TEST_F(MailComposeTest, AnAddressWithALineBreakIsRefusedAndNothingGoes) {
    SmtpServer server(dir.file("smtp"));
    useServer(server);
    auto screen = composer();
    for (const std::string field : {"cliente@example.it\r\nBcc: altro@example.it", "senza-chiocciola", ""}) {
        screen->setRecipientField(field);
        screen->navigationButtonTapped("invia");
        ui.drainMain();
    }
    EXPECT_TRUE(finished.calls.empty());
    ASSERT_EQ(ui.alerts().size(), 3u);
    EXPECT_EQ(ui.alerts()[0].alert.message.find('\n'), std::string::npos);
    EXPECT_TRUE(server.received().empty());
}

TEST_F(MailComposeTest, SalvaKeepsAPrivateMessageInTheOutbox) {
    auto screen = composer();
    screen->setRecipientField("altro@example.it");
    screen->navigationButtonTapped("salva");
    ASSERT_EQ(finished.calls.size(), 1u);
    EXPECT_EQ(finished.calls[0], std::make_pair(MailComposeResult::Saved, std::string("altro@example.it")));
    Outbox outbox;
    const auto saved = outbox.list();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].to, "altro@example.it");
    EXPECT_EQ(saved[0].subject, draft().subject);
    struct stat info {};
    ASSERT_EQ(::stat((outbox.folder() + "/" + saved[0].file).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace torvane::test
