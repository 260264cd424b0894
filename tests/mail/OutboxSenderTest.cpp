// The background sender against a real SMTP server: it retries what may go later, keeps and
// marks what cannot go, and with other senders on the same outbox (the real torvane-cli)
// every message arrives exactly once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <set>
#include <thread>

#include "MailTestSupport.h"
#include "mail/MailMessage.h"
#include "mail/OutboxSender.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

namespace torvane::test {
namespace {

using namespace std::chrono_literals;

struct OutboxSenderTest : ::testing::Test {
    TempDir dir;
    const OutboxSender::Schedule quick{50ms, 200ms};

    void SetUp() override {
        Paths::setRoot(dir.file("data"));
        Preferences::resetStandard(Paths::preferencesFile());
    }
    void TearDown() override { Paths::setRoot(""); }

    static void save(const std::string& to, const std::string& subject) {
        MailDraft draft;
        draft.to = {to};
        draft.subject = subject;
        draft.textBody = "Ordine";
        ASSERT_TRUE(Outbox().save(MailMessage::build(draft, "agente@azienda.it", std::chrono::system_clock::now())));
    }
    static bool waitFor(const std::function<bool()>& done) {
        for (int i = 0; i < 1000 && !done(); ++i) std::this_thread::sleep_for(20ms);
        return done();
    }
    static std::multiset<std::string> subjects(const SmtpServer& server) {
        std::multiset<std::string> all;
        for (const ReceivedMail& mail : server.received()) all.insert(parseMail(mail.bytes).subject);
        return all;
    }
};

TEST_F(OutboxSenderTest, WhatMayGoLaterIsRetriedUntilTheServerTakesIt) {
    SmtpServer server(dir.file("smtp"), {"--later", "2"});  // "452 try later" twice, then accepts
    for (const char* subject : {"uno", "due", "tre"}) save("cliente@example.it", subject);
    OutboxSender sender(Outbox(), quick);
    sender.drainNow(SmtpSettings{server.url(), "", "", ""});

    // A message leaves the folder just before its failure mark does and before the run is
    // counted, so the wait is for the whole end state.
    auto onlyTheLockLeft = [] {
        for (const auto& entry : std::filesystem::directory_iterator(Outbox().folder()))
            if (entry.path().filename() != ".invio.lock") return false;
        return true;
    };
    ASSERT_TRUE(waitFor([&] { return Outbox().list().empty() && sender.runs() >= 2 && onlyTheLockLeft(); }))
        << "runs " << sender.runs();
    EXPECT_EQ(subjects(server), (std::multiset<std::string>{"uno", "due", "tre"}));
    EXPECT_EQ(Outbox().status().waiting, 0);
}

TEST_F(OutboxSenderTest, MessagesThatCannotGoAreKeptAndMarkedUntilAskedAgain) {
    SmtpServer server(dir.file("smtp"), {"--refuse", "sconosciuto@example.it"});
    save("sconosciuto@example.it", "rifiutato");
    save("cliente@example.it", "accettato");
    std::ofstream(Outbox().folder() + "/0-vuoto.eml");
    std::ofstream(Outbox().folder() + "/1-rotto.eml") << "\x01\x02 non un messaggio";
    OutboxSender sender(Outbox(), quick);
    sender.drainNow(SmtpSettings{server.url(), "", "", ""});
    ASSERT_TRUE(waitFor([&] { return sender.runs() == 1; }));

    auto left = Outbox().list();
    ASSERT_EQ(left.size(), 3u);
    for (const OutboxEntry& entry : left) EXPECT_TRUE(entry.refused) << entry.file;
    EXPECT_EQ(left[0].lastFailure, "messaggio illeggibile");
    EXPECT_EQ(left[1].lastFailure, "messaggio illeggibile");
    EXPECT_NE(left[2].lastFailure.find("550 5.1.1"), std::string::npos) << left[2].lastFailure;
    EXPECT_EQ(Outbox().status().waiting, 3);

    // Refused for good: no retry of its own; sent again only when the person asks.
    std::this_thread::sleep_for(4 * quick.longest);
    EXPECT_EQ(sender.runs(), 1);
    sender.drainNow(SmtpSettings{server.url(), "", "", ""}, true);
    ASSERT_TRUE(waitFor([&] { return sender.runs() == 2; }));
    EXPECT_EQ(Outbox().list().size(), 3u) << "never deleted unsent";
    EXPECT_EQ(subjects(server), std::multiset<std::string>{"accettato"});
}

TEST_F(OutboxSenderTest, WithSendersInOtherProcessesEachMessageArrivesOnce) {
    SmtpServer server(dir.file("smtp"));
    Preferences::standard().setString(keys::pref_SMTPSERVER, server.url());
    Preferences::standard().synchronize();
    std::multiset<std::string> expected;
    for (int n = 0; n < 30; ++n) {
        save("cliente@example.it", "ordine " + std::to_string(n));
        expected.insert("ordine " + std::to_string(n));
    }
    // The lock file of a sender killed long ago holds nothing.
    std::ofstream(Outbox().folder() + "/.invio.lock") << "12345";

    OutboxSender sender(Outbox(), quick);
    auto cli = [this] { return runProcess(TORVANE_CLI_PATH, {"--data-dir", dir.file("data"), "outbox", "send"}); };
    auto first = std::async(std::launch::async, cli);
    sender.drainNow(SmtpSettings{server.url(), "", "", ""});
    auto second = std::async(std::launch::async, cli);
    first.get();
    second.get();

    ASSERT_TRUE(waitFor([&] { return Outbox().list().empty() && !sender.isSending(); }));
    EXPECT_EQ(subjects(server), expected);
}

}  // namespace
}  // namespace torvane::test
