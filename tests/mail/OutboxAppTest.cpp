// The real application (offscreen) drains its outbox by itself: a message saved while the
// mail server is down leaves once the server is back, and arrives once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "MailTestSupport.h"
#include "mail/MailMessage.h"
#include "mail/Outbox.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

#ifdef TORVANE_APP_PATH

namespace torvane::test {
namespace {

using namespace std::chrono_literals;

TEST(OutboxApp, AMessageWaitingWhileTheServerIsDownLeavesWhenItComesBack) {
    TempDir dir;
    Paths::setRoot(dir.file("data"));
    Preferences::resetStandard(Paths::preferencesFile());
    std::string port;
    {
        SmtpServer probe(dir.file("probe"));
        port = probe.url().substr(probe.url().rfind(':') + 1);
    }
    Preferences::standard().setString(keys::pref_SMTPSERVER, "smtp://127.0.0.1:" + port);
    Preferences::standard().synchronize();
    MailDraft draft;
    draft.to = {"cliente@example.it"};
    draft.subject = "Ordine 42";
    ASSERT_TRUE(Outbox().save(MailMessage::build(draft, "agente@azienda.it", std::chrono::system_clock::now())));

    ::setenv("TORVANE_HOME", dir.file("data").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    BackgroundProcess app("/bin/sh", {"-c", "echo avviata; exec \"$0\"", TORVANE_APP_PATH}, dir.file("torvane.log"));
    ::unsetenv("TORVANE_HOME");
    ASSERT_EQ(app.banner(), "avviata");
    auto waitFor = [](const std::function<bool()>& done, int seconds) {
        for (int i = 0; i < seconds * 10 && !done(); ++i) std::this_thread::sleep_for(100ms);
        return done();
    };
    // Its first attempt at start fails and is written down beside the message.
    ASSERT_TRUE(waitFor([] { return !Outbox().status().lastFailure.empty(); }, 20)) << readFile(dir.file("torvane.log"));
    EXPECT_EQ(Outbox().status().waiting, 1);

    SmtpServer back(dir.file("smtp"), {"--port", port});
    ASSERT_TRUE(waitFor([&] { return !back.received().empty(); }, 60)) << "retried within a minute";
    ASSERT_TRUE(waitFor([] { return Outbox().list().empty(); }, 10));
    app.stop();
    ASSERT_EQ(back.received().size(), 1u);
    EXPECT_EQ(parseMail(back.received()[0].bytes).subject, "Ordine 42");
    Paths::setRoot("");
}

}  // namespace
}  // namespace torvane::test

#endif
