// What a hostile device on the stand's network can do to the server: slow connections, bodies
// without end, documents that cost the parser dearly, guessing passwords, asking for secrets.
#include <thread>

#include "AttributeLimit.h"
#include "FairServerFixture.h"
#include "LoginThrottle.h"

namespace torvane::test {
namespace {

using fiera::AttributeLimit;
using fiera::LoginThrottle;

// A POST whose body is sent in chunks, `total` bytes of `fill` after `head`; the bytes the
// server let the client send before it answered or closed.
std::size_t postChunked(httplib::Client client, const std::string& path, const std::string& contentType,
                        const std::string& head, std::size_t total, const httplib::Headers& headers = {}) {
    const std::string chunk(1 << 16, 'x');
    std::size_t sent = 0;
    client.Post(
        path, headers,
        [&](size_t, httplib::DataSink& sink) {
            if (sent == 0) sink.write(head.data(), head.size());
            if (sent >= total) return sink.done(), true;
            sink.write(chunk.data(), chunk.size());
            sent += chunk.size();
            return true;
        },
        contentType);
    return sent;
}

TEST_F(FairServerTest, SlowClientsAreCutAtTheHeaderDeadlineAndNeverStopTheOthers) {
    fair.reset();
    fair = std::make_unique<FairProcess>(dir.string(), std::vector<std::string>{"--tempo-intestazioni", "1"});
    // Ten devices each sending a request's headers one byte at a time, never finishing.
    std::vector<int> slow;
    for (int i = 0; i < 10; ++i) slow.push_back(connectFrom(fair->port(), ("127.0.0." + std::to_string(10 + i)).c_str()));
    const std::string headers = "GET /fiere.xml HTTP/1.1\r\nHost: x\r\nX-Lento: ";
    std::vector<bool> closedByServer(slow.size(), false);
    std::thread trickle([&] {
        for (std::size_t b = 0; b < 40 && std::count(closedByServer.begin(), closedByServer.end(), false) > 0;
             ++b, std::this_thread::sleep_for(100ms))
            for (std::size_t i = 0; i < slow.size(); ++i)
                if (!closedByServer[i] && send(slow[i], &headers[b % headers.size()], 1, MSG_NOSIGNAL) < 0)
                    closedByServer[i] = true;
    });
    auto ordinary = client().Get("/fiere.xml");
    ASSERT_TRUE(ordinary) << "answered while the slow ones hold their connections";
    EXPECT_EQ(ordinary->status, 200);
    trickle.join();
    for (std::size_t i = 0; i < slow.size(); ++i) {
        char c;
        EXPECT_TRUE(closedByServer[i] || recv(slow[i], &c, 1, MSG_DONTWAIT) == 0) << "slow client " << i;
        close(slow[i]);
    }
    EXPECT_TRUE(fair->logHas("127.0.0.10 connessione chiusa: intestazioni non arrivate in tempo")) << fair->log();
}

TEST_F(FairServerTest, EveryRouteLimitsTheBytesItReadsAndRefusesCompressedBodies) {
    writeFile(root.path() / "profili.json", R"({"utenti":[{"user":"demo","password":"pw","aziende":[]}]})");
    fair.reset();
    fair = std::make_unique<FairProcess>(dir.string(),
                                         std::vector<std::string>{"--profili", (root.path() / "profili.json").string()});
    auto field = [](const char* name) {
        return "--b\r\nContent-Disposition: form-data; name=\"" + std::string(name) + "\"; filename=\"x.xml\"\r\n\r\n<a>";
    };
    struct Case {
        const char* what;
        std::string path, contentType, head;
        std::size_t total;
        const char* logged;
    };
    const std::vector<Case> cases{
        {"a login without a length", "/ios/userProfile", "application/x-www-form-urlencoded", "user=demo&pass=",
         300u << 20, "POST /ios/userProfile 413 oltre 64 KB"},
        {"an upload without a length", "/upload.php", "multipart/form-data; boundary=b", field("userfile"), 60u << 20,
         "POST /upload.php 413 oltre 20 MB"},
        {"an upload in another field", "/upload.php", "multipart/form-data; boundary=b", field("altro"), 60u << 20,
         "POST /upload.php 413 oltre 20 MB"},
    };
    for (const Case& c : cases) {
        EXPECT_LT(postChunked(client(), c.path, c.contentType, c.head, c.total), c.total / 2)
            << c.what << ": stopped at the limit";
        EXPECT_TRUE(fair->logHas(c.logged)) << c.what << "\n" << fair->log();
    }
    // A route that takes no body: a GET that sends one (by hand, as no client library does).
    const std::string get = rawExchange(fair->port(), "GET /fiere.xml HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"
                                                      "5\r\nciao!\r\n0\r\n\r\n");
    EXPECT_EQ(get.rfind("HTTP/1.1 413", 0), 0u) << get;

    // 60 KB of gzip that would become 60 MB: refused, never inflated.
    const std::string gzipped = "\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03" + std::string(60 * 1024, '\0');
    auto compressed = client().Post("/ios/userProfile", {{"Content-Encoding", "gzip"}}, gzipped,
                                    "application/x-www-form-urlencoded");
    ASSERT_TRUE(compressed);
    EXPECT_EQ(compressed->status, 415);
    auto login = client().Post("/ios/userProfile", "user=demo&pass=pw", "application/x-www-form-urlencoded");
    ASSERT_TRUE(login) << "still answering";
    EXPECT_EQ(login->status, 200);
    EXPECT_TRUE(stored().empty());
}

TEST_F(FairServerTest, AnElementWithHundredsOfThousandsOfAttributesCostsNothing) {
    std::string attributes;
    for (int i = 0; i < 100000; ++i) attributes += " a" + std::to_string(i) + "=\"\"";
    const std::string hostile = "<TorvaneMobile><Udid" + attributes + "/></TorvaneMobile>";
    // Refused as it is read, not after minutes of parsing.
    auto result = upload("attributi.xml", hostile);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 422);
    // Such a file already among the orders (stored before this server, or by hand): the page
    // lists it without reading it through.
    writeFile(dir / "ordini" / "attributi.xml", hostile);
    auto page = client().Get("/");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("<td class=\"n\">?</td><td>attributi.xml</td>"), std::string::npos) << page->body;
    // A real order still goes through.
    EXPECT_EQ(upload("vero.xml", order("1", "Vero", 3))->status, 200);
}

TEST(AttributeLimitTest, CountsAttributesOfStartTagsOnlyWhateverTheChunks) {
    auto tag = [](int attributes) {
        std::string text = "<a";
        for (int i = 0; i < attributes; ++i) text += " b" + std::to_string(i) + "='x'";
        return text + "/>";
    };
    const std::string equals(200, '=');
    struct Case {
        std::string document;
        bool accepted;
    };
    const std::vector<Case> cases{
        {"<r>" + tag(AttributeLimit::maxAttributes) + "</r>", true},
        {"<r>" + tag(AttributeLimit::maxAttributes + 1) + "</r>", false},
        {"<r>" + equals + "<!--" + equals + "--><![CDATA[" + equals + "]]><?pi " + equals + "?></r>", true},
        {"<r a=\"" + equals + ">\" b='" + equals + "'>" + equals + "</r>", true},
        {"<r><!-- -- --> " + tag(AttributeLimit::maxAttributes + 1) + "</r>", false},
    };
    for (const Case& c : cases) {
        AttributeLimit whole, byteByByte;
        bool each = true;
        for (char b : c.document) each = byteByByte.accept(&b, 1) && each;
        EXPECT_EQ(whole.accept(c.document.data(), c.document.size()), c.accepted) << c.document.substr(0, 40);
        EXPECT_EQ(each, c.accepted) << c.document.substr(0, 40);
    }
}

TEST_F(FairServerTest, TheProfilesFileIsNeverServedUnderAnyName) {
    writeFile(dir / "profili.json", R"({"utenti":[{"user":"demo","password":"segretissima","aziende":[]}]})");
    fs::create_symlink(dir / "profili.json", dir / "link.json");
    fs::create_hard_link(dir / "profili.json", dir / "copia.json");
    fair.reset();
    fair = std::make_unique<FairProcess>(dir.string(), std::vector<std::string>{"--profili", (dir / "profili.json").string()});
    for (const char* path : {"/profili.json", "/link.json", "/copia.json"}) {
        auto result = client().Get(path);
        ASSERT_TRUE(result) << path;
        EXPECT_EQ(result->status, 404) << path;
        EXPECT_EQ(result->body.find("segretissima"), std::string::npos) << path;
    }
}

TEST(LoginThrottleTest, FailuresSlowTheirAddressOnlyDoublingUpToALimit) {
    LoginThrottle throttle;
    const auto t0 = LoginThrottle::Clock::now();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(throttle.turn("10.0.0.1", t0), t0) << "the first five are free";
        throttle.failed("10.0.0.1", t0);
    }
    // From the sixth on, turns one second apart, then two, then four; other addresses never wait.
    EXPECT_EQ(throttle.turn("10.0.0.1", t0), t0 + 1s);
    EXPECT_EQ(throttle.turn("10.0.0.1", t0), t0 + 2s) << "a second connection at once gains nothing";
    EXPECT_EQ(throttle.turn("10.0.0.2", t0), t0);
    throttle.failed("10.0.0.1", t0 + 2s);
    EXPECT_EQ(throttle.turn("10.0.0.1", t0 + 2s), t0 + 4s);
    throttle.failed("10.0.0.1", t0 + 4s);
    EXPECT_EQ(throttle.turn("10.0.0.1", t0 + 4s), t0 + 8s);
    for (int i = 0; i < 20; ++i) throttle.failed("10.0.0.1", t0 + 8s);
    EXPECT_EQ(throttle.turn("10.0.0.1", t0 + 8s), t0 + 8s + LoginThrottle::longestPause);
    EXPECT_EQ(throttle.turn("10.0.0.1", t0 + 8s), std::nullopt) << "a turn further than the limit is refused";
    EXPECT_EQ(throttle.turn("10.0.0.1", t0 + 8s + LoginThrottle::memory + 1s), t0 + 8s + LoginThrottle::memory + 1s)
        << "forgotten after a quiet while";
}

TEST_F(FairServerTest, LoginFailuresFromOneAddressDelayItsNextLoginsAndNoOtherAddress) {
    writeFile(root.path() / "profili.json", R"({"utenti":[{"user":"demo","password":"pw","aziende":[]}]})");
    fair.reset();
    fair = std::make_unique<FairProcess>(dir.string(),
                                         std::vector<std::string>{"--profili", (root.path() / "profili.json").string()});
    auto login = [&](const char* source, const std::string& password) {
        const std::string body = "user=demo&pass=" + password;
        return rawExchange(fair->port(),
                           "POST /ios/userProfile HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Type: "
                           "application/x-www-form-urlencoded\r\nContent-Length: " +
                               std::to_string(body.size()) + "\r\n\r\n" + body,
                           5000ms, false, source);
    };
    for (int i = 0; i < 6; ++i) login("127.0.0.1", "sbagliata");
    EXPECT_NE(login("127.0.0.1", "pw").find("{\"aziende\":[]}"), std::string::npos) << "answered, only later";
    EXPECT_NE(login("127.0.0.2", "pw").find("HTTP/1.1 200"), std::string::npos);
    const std::string log = fair->log();
    EXPECT_NE(log.find("127.0.0.1 POST /ios/userProfile 200 profilo di demo (atteso"), std::string::npos) << log;
    EXPECT_EQ(log.find("127.0.0.2 POST /ios/userProfile 200 profilo di demo (atteso"), std::string::npos) << log;
    EXPECT_EQ(log.find("pw"), std::string::npos) << "passwords never reach the log";
}

}  // namespace
}  // namespace torvane::test
