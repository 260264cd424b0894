// `torvane-cli outbox`: saved messages listed and sent through a real SMTP server; a message
// leaves the outbox only once the server took it.
#include <gtest/gtest.h>

#include <filesystem>

#include "MailTestSupport.h"
#include "support/CliFolder.h"
#include "mail/MailMessage.h"
#include "mail/Outbox.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

namespace torvane::test {
namespace {

struct OutboxCli : CliData {
    std::string file;

    void SetUp() override {
        Paths::setRoot(data);
        Preferences::resetStandard(Paths::preferencesFile());
        MailDraft draft;
        draft.to = {"cliente@example.it"};
        draft.subject = "Ordine Società";
        draft.textBody = "Nota";
        file = std::filesystem::path(
                   Outbox().save(MailMessage::build(draft, "agente@azienda.it", std::chrono::system_clock::now())).value())
                   .filename();
    }
    void TearDown() override { Paths::setRoot(""); }
    ProcessResult cli(const std::string& server, const std::string& verb) {
        Preferences::standard().setString(keys::pref_SMTPSERVER, server);
        Preferences::standard().synchronize();
        return CliData::cli({"outbox", verb});
    }
};

TEST_F(OutboxCli, SendMovesEachAcceptedMessageToTheSentFolder) {
    SmtpServer server(dir.file("smtp"));
    auto listed = cli(server.url(), "list");
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_NE(listed.out.find(file + "  cliente@example.it  Ordine Società  in attesa\n"), std::string::npos) << listed.out;

    auto sent = cli(server.url(), "send");
    EXPECT_EQ(sent.exitCode, 0) << sent.out << sent.err;
    EXPECT_NE(sent.out.find(file + ": inviato"), std::string::npos) << sent.out;
    EXPECT_TRUE(std::filesystem::exists(Outbox().sentFolder() + "/" + file));
    EXPECT_TRUE(Outbox().list().empty());
    ASSERT_EQ(server.received().size(), 1u);
    EXPECT_EQ(parseMail(server.received()[0].bytes).subject, "Ordine Società");
}

TEST_F(OutboxCli, WithTheServerDownTheMessageStaysAndTheRunFails) {
    SmtpServer server(dir.file("smtp"));
    const std::string url = server.url();
    server.stop();
    auto sent = cli(url, "send");
    EXPECT_EQ(sent.exitCode, 1);
    EXPECT_NE(sent.out.find(file + ": non inviato"), std::string::npos) << sent.out;
    ASSERT_EQ(Outbox().list().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(Outbox().sentFolder() + "/" + file));
    auto listed = cli(url, "list");
    EXPECT_NE(listed.out.find("Ordine Società  in attesa: Couldn't connect to server"), std::string::npos) << listed.out;
}

}  // namespace
}  // namespace torvane::test
