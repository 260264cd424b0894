// One message to a real SMTP server on loopback: a login goes only over TLS, the server's
// certificate is checked against the company's authority, and each failure is told apart
// (refused for good, try later, or settings to mend), since the outbox acts on that.
#include <gtest/gtest.h>

#include "MailTestSupport.h"
#include "mail/SmtpSender.h"

namespace torvane::test {
namespace {

struct SmtpSenderTest : ::testing::Test {
    static inline std::unique_ptr<TempDir> shared;
    static inline std::unique_ptr<TestCertificates> certificates;
    TempDir dir;

    static void SetUpTestSuite() {
        shared = std::make_unique<TempDir>();
        certificates = std::make_unique<TestCertificates>(shared->file("tls"));
    }
    static void TearDownTestSuite() {
        certificates.reset();
        shared.reset();
    }
    static SmtpResult send(const SmtpSettings& settings, const std::string& to = "cliente@example.it") {
        return SmtpSender(settings).send("agente@azienda.it", {to}, "Subject: prova\r\n\r\nCorpo\r\n");
    }
    std::vector<std::string> tls() const { return {"--tls", certificates->certificate, certificates->key}; }
};

TEST_F(SmtpSenderTest, ALoginGoesOnlyOverAVerifiedTls) {
    struct Case {
        const char* what;
        bool offersTls, implicitTls, companyAuthority;
        bool sent;
        const char* reason;
    };
    const Case cases[] = {
        {"no STARTTLS offered: the password is never sent", false, false, true, false, "STARTTLS"},
        {"STARTTLS with the company's authority", true, false, true, true, ""},
        {"smtps:// with the company's authority", true, true, true, true, ""},
        {"a certificate no known authority signed", true, false, false, false, "certificato del server"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> options{"--login", "agente:segreta"};
        if (c.offersTls) {
            const auto more = tls();
            options.insert(options.end(), more.begin(), more.end());
        }
        if (c.implicitTls) options.push_back("--implicit-tls");
        SmtpServer server(dir.file(std::string("smtp-") + std::to_string(&c - cases)), options);
        SmtpSettings settings{server.url(c.implicitTls ? "smtps" : "smtp"), "agente", "segreta",
                              c.companyAuthority ? certificates->authority : ""};
        const SmtpResult result = send(settings);
        EXPECT_EQ(result.sent, c.sent) << c.what << ": " << result.reason;
        EXPECT_NE(result.reason.find(c.reason), std::string::npos) << c.what << ": " << result.reason;
        EXPECT_FALSE(result.permanent || result.temporary) << c.what << ": settings to mend, not the message";
        EXPECT_EQ(server.received().size(), c.sent ? 1u : 0u) << c.what;
    }
    // Without a login plain SMTP stays allowed.
    SmtpServer plain(dir.file("plain"));
    EXPECT_TRUE(send({plain.url(), "", "", ""}).sent);
}

TEST_F(SmtpSenderTest, EachFailureSaysWhetherTheMessageMayGoLater) {
    struct Case {
        const char* what;
        std::vector<std::string> options;
        bool permanent, temporary;
        const char* reason;
    };
    const Case cases[] = {
        {"unknown recipient", {"--refuse", "cliente@example.it"}, true, false, "550"},
        {"try later", {"--later", "1"}, false, true, "452"},
        {"connection dropped before the answer", {"--drop", "1"}, false, true, ""},
        {"never answers", {"--silent"}, false, true, ""},
        {"login refused", {"--login", "agente:segreta", "--tls", certificates->certificate, certificates->key}, false, false, "535"},
    };
    for (const Case& c : cases) {
        SmtpServer server(dir.file(std::string("smtp-") + std::to_string(&c - cases)), c.options);
        SmtpSettings settings{server.url(), "agente", "sbagliata", certificates->authority};
        if (c.options[0] != "--login") settings.user = settings.password = "";
        settings.timeout = std::chrono::seconds(3);  // a silent server ends the sending
        const SmtpResult result = send(settings);
        EXPECT_FALSE(result.sent) << c.what;
        EXPECT_EQ(result.permanent, c.permanent) << c.what << ": " << result.reason;
        EXPECT_EQ(result.temporary, c.temporary) << c.what << ": " << result.reason;
        EXPECT_NE(result.reason.find(c.reason), std::string::npos) << c.what << ": " << result.reason;
        EXPECT_TRUE(server.received().empty()) << c.what;
    }
    SmtpServer gone(dir.file("gone"));
    const std::string url = gone.url();
    gone.stop();
    const SmtpResult refused = send({url, "", "", ""});
    EXPECT_TRUE(refused.temporary) << refused.reason;
}

}  // namespace
}  // namespace torvane::test
