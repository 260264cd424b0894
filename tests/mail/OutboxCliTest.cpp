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

TEST_F(OutboxCli, AMessageStaysWhileTheServerIsDownAndMovesToTheSentFolderOnceTaken) {
    std::string downUrl;
    {
        SmtpServer probe(dir.file("probe"));
        downUrl = probe.url();
    }
    auto failed = cli(downUrl, "send");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.out.find(file + ": non inviato"), std::string::npos) << failed.out;
    auto listed = cli(downUrl, "list");
    EXPECT_NE(listed.out.find(file + "  cliente@example.it  Ordine Società  in attesa: Couldn't connect to server"),
              std::string::npos) << listed.out;
    ASSERT_EQ(Outbox().list().size(), 1u);

    SmtpServer server(dir.file("smtp"));
    auto sent = cli(server.url(), "send");
    EXPECT_EQ(sent.exitCode, 0) << sent.out << sent.err;
    EXPECT_NE(sent.out.find(file + ": inviato"), std::string::npos) << sent.out;
    EXPECT_TRUE(std::filesystem::exists(Outbox().sentFolder() + "/" + file));
    EXPECT_TRUE(Outbox().list().empty());
    ASSERT_EQ(server.received().size(), 1u);
    EXPECT_EQ(parseMail(server.received()[0].bytes).subject, "Ordine Società");
}

}  // namespace
}  // namespace torvane::test
