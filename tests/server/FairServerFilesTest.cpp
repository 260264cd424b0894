// The folder's files served as a real HTTP server serves them: compressed when the client
// accepts it, validators and 304 answers, byte ranges checked and bounded, keep-alive.
#include <sys/stat.h>
#include <utime.h>

#include "FairServerFixture.h"

namespace torvane::test {
namespace {

std::string numbered(std::size_t size) {
    std::string text;
    for (std::size_t i = 0; text.size() < size; ++i) text += std::to_string(i % 10);
    return text.substr(0, size);
}

TEST_F(FairServerTest, TextIsSentCompressedFromACopyMadeOnceAndRemadeWhenTheFileChanges) {
    std::string catalogue = "<Catalogo>";
    for (int i = 0; i < 2000; ++i) catalogue += "<Articolo Codice=\"A" + std::to_string(i) + "\"><Descrizione>Cotone</Descrizione></Articolo>";
    writeFile(dir / "01.L1.xml", catalogue + "</Catalogo>");
    httplib::Client c = client();  // decodes gzip, as the application does
    const httplib::Headers gzip{{"Accept-Encoding", "gzip, deflate"}};
    auto first = c.Get("/01.L1.xml", gzip);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->status, 200);
    EXPECT_EQ(first->get_header_value("Content-Encoding"), "gzip");
    EXPECT_EQ(first->get_header_value("Vary"), "Accept-Encoding");
    EXPECT_EQ(first->body, catalogue + "</Catalogo>");
    const std::string copy = readFile(dir / ".01.L1.xml.gz");
    EXPECT_LT(copy.size(), catalogue.size() / 5) << "kept beside the file";
    EXPECT_EQ(first->get_header_value("ETag").back(), '"');

    // Changed: a new version, compressed again; the old copy is never handed out.
    writeFile(dir / "01.L1.xml", "<Catalogo/>");
    auto second = c.Get("/01.L1.xml", gzip);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->body, "<Catalogo/>");
    EXPECT_NE(second->get_header_value("ETag"), first->get_header_value("ETag"));

    // Without gzip asked for, the file as it is; the copy is never a file of its own.
    auto plain = client().Get("/01.L1.xml", {{"Accept-Encoding", "identity"}});
    EXPECT_EQ(plain->get_header_value("Content-Encoding"), "");
    EXPECT_EQ(plain->body, "<Catalogo/>");
    for (const char* path : {"/.01.L1.xml.gz", "/01.L1.xml.gz"}) EXPECT_EQ(client().Get(path)->status, 404) << path;
    // A photo is not compressed.
    EXPECT_EQ(client().Get("/foto/ART1.jpg")->get_header_value("Content-Encoding"), "");
}

TEST_F(FairServerTest, ValidatorsAnswerNotModifiedAndKeepAliveServesSeveralRequests) {
    const fs::path file = dir / "fiere.xml";
    const utimbuf past{1700000000, 1700000000};  // Tue, 14 Nov 2023 22:13:20 GMT
    utime(file.c_str(), &past);
    auto full = client().Get("/fiere.xml", {{"Accept-Encoding", "identity"}});
    ASSERT_TRUE(full);
    const std::string etag = full->get_header_value("ETag");
    EXPECT_EQ(full->get_header_value("Last-Modified"), "Tue, 14 Nov 2023 22:13:20 GMT");
    ASSERT_EQ(etag.front(), '"') << "a strong, quoted tag";
    struct Case {
        httplib::Headers headers;
        int status;
    };
    const std::vector<Case> cases{
        {{{"If-None-Match", etag}}, 304},
        {{{"If-None-Match", "\"altro\", " + etag}}, 304},
        {{{"If-None-Match", "\"altro\""}}, 200},
        {{{"If-Modified-Since", "Tue, 14 Nov 2023 22:13:20 GMT"}}, 304},
        {{{"If-Modified-Since", "Tue, 14 Nov 2023 22:13:19 GMT"}}, 200},
        {{{"If-Modified-Since", "ieri"}}, 200},
        {{{"If-None-Match", "\"altro\""}, {"If-Modified-Since", "Tue, 14 Nov 2023 22:13:20 GMT"}}, 200},
    };
    for (const Case& c : cases) {
        httplib::Headers headers = c.headers;
        headers.emplace("Accept-Encoding", "identity");
        auto result = client().Get("/fiere.xml", headers);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, c.status) << c.headers.begin()->second;
        EXPECT_EQ(result->body.empty(), c.status == 304);
    }
    // Three requests on one connection, each answered.
    const std::string get = "GET /fiere.xml HTTP/1.1\r\nHost: x\r\nAccept-Encoding: identity\r\n\r\n";
    const std::string answers = rawExchange(fair->port(), get + get + "HEAD /fiere.xml HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    std::size_t count = 0;
    for (std::size_t at = answers.find("HTTP/1.1 200"); at != std::string::npos; at = answers.find("HTTP/1.1 200", at + 1))
        ++count;
    EXPECT_EQ(count, 3u) << answers;
}

TEST_F(FairServerTest, RangesAreCheckedMergedAndNeverLargerThanTheFile) {
    const std::string content = numbered(1000);
    writeFile(dir / "dati.bin", content);
    std::string overlapping = "bytes=0-499";
    for (int i = 1; i < 800; ++i) overlapping += "," + std::to_string(i) + "-" + std::to_string(500 + i);
    std::string scattered = "bytes=0-0";
    for (int i = 1; i < 20; ++i) scattered += "," + std::to_string(i * 10) + "-" + std::to_string(i * 10);
    struct Case {
        std::string range;
        int status;
        std::string contentRange, body;
    };
    const std::vector<Case> cases{
        {"bytes=0-9", 206, "bytes 0-9/1000", content.substr(0, 10)},
        {"bytes=990-", 206, "bytes 990-999/1000", content.substr(990)},
        {"bytes=-5", 206, "bytes 995-999/1000", content.substr(995)},
        {"bytes=995-5000", 206, "bytes 995-999/1000", content.substr(995)},
        {"bytes=999999999-", 416, "bytes */1000", ""},
        {"bytes=18446744073709551616-", 416, "bytes */1000", ""},
        {overlapping, 206, "bytes 0-999/1000", content},  // 800 ranges in 7 KB: one answer of the file's size
        {scattered, 200, "", content},
        {"bytes=9-1", 200, "", content},
        {"pezzi=0-1", 200, "", content},
    };
    for (const Case& c : cases) {
        auto result = client().Get("/dati.bin", {{"Range", c.range}});
        ASSERT_TRUE(result) << c.range.substr(0, 30);
        EXPECT_EQ(result->status, c.status) << c.range.substr(0, 30);
        EXPECT_EQ(result->get_header_value("Content-Range"), c.contentRange) << c.range.substr(0, 30);
        if (c.status != 416) EXPECT_EQ(result->body, c.body) << c.range.substr(0, 30);
    }
    // Two pieces apart: one answer in two parts.
    auto two = client().Get("/dati.bin", {{"Range", "bytes=0-99,500-599"}});
    ASSERT_TRUE(two);
    EXPECT_EQ(two->status, 206);
    EXPECT_EQ(two->get_header_value("Content-Type").rfind("multipart/byteranges; boundary=", 0), 0u);
    EXPECT_NE(two->body.find("Content-Range: bytes 0-99/1000\r\n\r\n" + content.substr(0, 100)), std::string::npos);
    EXPECT_NE(two->body.find("Content-Range: bytes 500-599/1000\r\n\r\n" + content.substr(500, 100)), std::string::npos);

    // If-Range: the range only for the version named, else the whole file.
    const std::string etag = client().Get("/dati.bin")->get_header_value("ETag");
    EXPECT_EQ(client().Get("/dati.bin", {{"Range", "bytes=900-"}, {"If-Range", etag}})->status, 206);
    EXPECT_EQ(client().Get("/dati.bin", {{"Range", "bytes=900-"}, {"If-Range", "\"vecchia\""}})->status, 200);
}

}  // namespace
}  // namespace torvane::test
