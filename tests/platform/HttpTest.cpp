// The shared HTTP layer against loopback servers: which protocols it speaks, how much a body
// may bring once decoded, and which waits end a transfer.
#include <gtest/gtest.h>
#include <httplib.h>

#include <thread>

#include "platform/Http.h"
#include "support/Gzipped.h"

using namespace torvane;
using torvane::test::gzipped;

namespace {

// A loopback server whose routes each test writes.
struct Loopback {
    httplib::Server server;
    std::thread thread;
    int port = 0;
    Loopback() { port = server.bind_to_any_port("127.0.0.1"); }
    void start() { thread = std::thread([this] { server.listen_after_bind(); }); }
    ~Loopback() {
        server.stop();
        if (thread.joinable()) thread.join();
    }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port) + path; }
};

// Sends `pieces` pieces of 100 bytes, `pause` apart.
void trickle(httplib::Response& response, int pieces, std::chrono::milliseconds pause) {
    response.set_chunked_content_provider("application/octet-stream", [pieces, pause](size_t offset, httplib::DataSink& sink) {
        if (offset >= static_cast<size_t>(pieces) * 100) {
            sink.done();
            return true;
        }
        if (offset > 0) std::this_thread::sleep_for(pause);
        sink.write(std::string(100, 'x').data(), 100);
        return true;
    });
}

}  // namespace

TEST(Http, OnlyHttpAndHttpsAreSpokenRedirectsIncluded) {
    Loopback web;
    web.server.Get("/to-file", [](const httplib::Request&, httplib::Response& r) { r.set_redirect("file:///etc/passwd"); });
    web.server.Get("/to-gopher", [&web](const httplib::Request&, httplib::Response& r) {
        r.set_redirect("gopher://127.0.0.1:" + std::to_string(web.port) + "/_HELO");
    });
    web.start();
    for (const std::string& url : {std::string("file:///etc/passwd"), "gopher://127.0.0.1:" + std::to_string(web.port) + "/_x",
                                   std::string("dict://127.0.0.1:1/x"), web.url("/to-file"), web.url("/to-gopher")}) {
        HttpResponse answer = Http::get(url);
        EXPECT_FALSE(answer.data) << url;
    }
}

TEST(Http, TheBodyIsBoundedOnceDecodedAsWhenPlain) {
    Loopback web;
    const std::string zeros(8 << 20, '0');
    const std::string bomb = gzipped(zeros);
    web.server.Get("/plain", [&](const httplib::Request&, httplib::Response& r) { r.set_content(zeros, "application/octet-stream"); });
    web.server.Get("/bomb", [&](const httplib::Request&, httplib::Response& r) {
        r.set_header("Content-Encoding", "gzip");
        r.set_content(bomb, "application/octet-stream");
    });
    web.start();
    ASSERT_LT(bomb.size(), 64u << 10);
    for (const std::string path : {"/plain", "/bomb"}) {
        std::size_t kept = 0;
        Http::Download request;
        request.url = web.url(path);
        request.mostBytes = 1 << 20;
        request.onBody = [&kept](std::string_view piece) {
            kept += piece.size();
            return true;
        };
        HttpResponse answer = Http::download(request);
        EXPECT_FALSE(answer.data) << path;
        EXPECT_NE(answer.error.find("limite"), std::string::npos) << answer.error;
        EXPECT_LE(kept, std::size_t{1} << 20) << path;
    }
}

TEST(Http, ASlowButSteadyAnswerArrivesAndASilentOneEnds) {
    Loopback web;
    web.server.Get("/steady", [](const httplib::Request&, httplib::Response& r) { trickle(r, 13, std::chrono::milliseconds(200)); });
    auto stall = [](const httplib::Request&, httplib::Response& r) { trickle(r, 2, std::chrono::milliseconds(3000)); };
    web.server.Get("/stalled", stall);
    web.server.Post("/stalled", stall);
    web.start();
    // 2.4 s in all against an idle limit of 1 s.
    HttpResponse steady = Http::get(web.url("/steady"), std::chrono::milliseconds(1000));
    ASSERT_TRUE(steady.data) << steady.error;
    EXPECT_EQ(steady.data->size(), 1300u);
    EXPECT_FALSE(Http::get(web.url("/stalled"), std::chrono::milliseconds(1000)).data);
    EXPECT_FALSE(Http::post(web.url("/stalled"), "x", {}, std::chrono::milliseconds(1000)).data);
}
