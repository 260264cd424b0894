// The catalogue's download over HTTP as a real server and a hostile one answer it: compressed,
// not at all when unchanged, resumed after a cut, and never a wipe or a wrong catalogue.
#include <filesystem>
#include <functional>

#include "loader/LoadResultAlert.h"
#include "loader/LoaderTestSupport.h"
#include "loader/PartialDocument.h"
#include "support/Gzipped.h"

using namespace torvane;
using namespace torvane::test;

namespace {

// A loopback server whose answers each test writes; the n-th request (from 0) is passed along.
// The script answers ranges itself, right or wrong: the library's own range handling is off.
class ScriptedServer {
public:
    using Script = std::function<void(const httplib::Request&, httplib::Response&, int n)>;
    explicit ScriptedServer(Script script) : script_(std::move(script)) {
        server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            const_cast<httplib::Request&>(request).ranges.clear();
            int n;
            {
                std::lock_guard lock(mutex_);
                n = static_cast<int>(requests_.size());
                requests_.push_back(request.headers);
            }
            script_(request, response, n);
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~ScriptedServer() {
        server_.stop();
        thread_.join();
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/01.L1.xml"; }
    // A header of the n-th request ("" when it had none).
    std::string header(int n, const std::string& name) const {
        std::lock_guard lock(mutex_);
        if (n >= static_cast<int>(requests_.size())) return "(nessuna richiesta)";
        auto found = requests_[n].find(name);
        return found == requests_[n].end() ? "" : found->second;
    }
    int count() const {
        std::lock_guard lock(mutex_);
        return static_cast<int>(requests_.size());
    }

private:
    Script script_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<httplib::Headers> requests_;
};

std::string clients(const std::string& name, int how_many) {
    std::string rows;
    for (int i = 0; i < how_many; ++i)
        rows += "<ClienteFornitore BarCode=\"B" + std::to_string(i) + "\"><Codice>C" + std::to_string(i) +
                "</Codice><RagioneSociale1>" + name + "</RagioneSociale1></ClienteFornitore>";
    return "<ClientiFornitori>" + rows + "</ClientiFornitori>";
}

const std::string kRossi = document(clients("Rossi", 1), "20260101000000");
const std::string kBianchi = document(clients("Bianchi", 300), "20260201000000");
const std::string kVerdi = document(clients("Verdi", 300), "20260301000000");
constexpr std::size_t kCut = 9000;  // where a first download of Bianchi is cut

// Sends the first `cut` bytes of `body`, announcing all of it, then drops the connection.
void cutAnswer(httplib::Response& response, const std::string& body, std::size_t cut, const std::string& etag) {
    response.set_header("ETag", etag);
    response.set_content_provider(body.size(), "application/octet-stream",
                                  [body, cut](size_t offset, size_t, httplib::DataSink& sink) {
                                      if (offset >= cut) return false;
                                      sink.write(body.data() + offset, cut - offset);
                                      return true;
                                  });
}

void partAnswer(httplib::Response& response, const std::string& body, std::size_t from, const std::string& range,
                const std::string& etag) {
    response.status = 206;
    response.set_header("ETag", etag);
    response.set_header("Content-Range", range);
    response.set_content(body.substr(from), "application/octet-stream");
}

struct CatalogueDownload : LoaderFixture {
    std::unique_ptr<CaricatoreDatabase> run(const ScriptedServer& server, ProgressView* view = nullptr) {
        auto loader = newLoader();
        loader->downloadDocuments({CaricatoreDatabase::urlSource(server.url(), std::chrono::milliseconds(2000))}, view);
        return loader;
    }
    std::string names() { return text("SELECT group_concat(DISTINCT ragioneSociale1) FROM Cliente").value_or(""); }
    bool partialsLeft() {
        const std::string folder = PartialDocument::folder();
        return !std::filesystem::is_empty(folder);
    }
};

// Downloads progress in bytes and finishes at the document's size.
struct BytesProgress : RecordingProgress {
    std::vector<HttpProgress> downloads;
    void updateDownload(const HttpProgress& progress) override { downloads.push_back(progress); }
};

}  // namespace

TEST_F(CatalogueDownload, AnUnchangedDocumentIsNotDownloadedAgainAndAChangedOneIs) {
    std::string current = kRossi, etag = "\"v1\"";
    std::mutex mutex;
    ScriptedServer server([&](const httplib::Request& request, httplib::Response& response, int) {
        std::lock_guard lock(mutex);
        response.set_header("ETag", etag);
        response.set_header("Last-Modified", "Tue, 01 Dec 2026 10:00:00 GMT");
        if (request.get_header_value("If-None-Match") == etag) {
            response.status = 304;
            return;
        }
        response.set_content(current, "text/xml");  // compressed when asked for
    });
    ASSERT_EQ(run(server)->result(), 0);
    EXPECT_EQ(names(), "Rossi");
    EXPECT_NE(server.header(0, "Accept-Encoding").find("gzip"), std::string::npos);
    // A change of the device's own must survive an unchanged reload: nothing is wiped.
    rawQuery("UPDATE Cliente SET ragioneSociale1 = 'Rossi e figli'");
    db->commit();

    auto second = run(server);
    EXPECT_EQ(server.header(1, "If-None-Match"), "\"v1\"");
    EXPECT_EQ(second->result(), 0);
    EXPECT_EQ(LoadResultAlert::forLoader(*second)->message, "I dati risultano aggiornati");
    EXPECT_EQ(names(), "Rossi e figli");

    {
        std::lock_guard lock(mutex);
        current = kBianchi;
        etag = "\"v2\"";
    }
    auto third = run(server);
    EXPECT_EQ(third->result(), 0);
    EXPECT_EQ(names(), "Bianchi");
}

TEST_F(CatalogueDownload, ACutDownloadAsksForTheRestOnlyAndLoadsTheWholeDocument) {
    // A plain first part is continued under its ETag; a compressed one (whose ETag names the
    // compressed bytes) under its date, uncompressed.
    const std::string date = "Tue, 01 Dec 2026 10:00:00 GMT";
    const std::string gz = gzipped(kBianchi);
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "compressed" : "plain");
        ScriptedServer server([&](const httplib::Request& request, httplib::Response& response, int n) {
            response.set_header("Last-Modified", date);
            if (n == 0 && !compressed) return cutAnswer(response, kBianchi, kCut, "\"b1\"");
            if (n == 0) {
                response.set_header("Content-Encoding", "gzip");
                return cutAnswer(response, gz, gz.size() / 2, "\"b1-gzip\"");
            }
            const std::string range = request.get_header_value("Range");
            const std::size_t from = range.rfind("bytes=", 0) == 0 ? std::stoul(range.substr(6)) : 0;
            if (from > 0 && request.get_header_value("If-Range") == (compressed ? date : "\"b1\"") &&
                request.get_header_value("Accept-Encoding") == "identity")
                return partAnswer(response, kBianchi, from,
                                  "bytes " + std::to_string(from) + "-" + std::to_string(kBianchi.size() - 1) + "/" +
                                      std::to_string(kBianchi.size()),
                                  "\"b1\"");
            response.status = 400;
        });
        rawQuery("UPDATE Parametro SET valore = '' WHERE attributo LIKE 'SYSTEM_%'");
        db->commit();
        load(kRossi);
        EXPECT_EQ(run(server)->result(), 1);
        EXPECT_EQ(names(), "Rossi") << "a cut download wipes nothing";
        EXPECT_TRUE(partialsLeft());

        BytesProgress progress;
        auto resumed = run(server, &progress);
        EXPECT_EQ(resumed->result(), 0);
        EXPECT_EQ(count("Cliente"), 300);
        EXPECT_EQ(names(), "Bianchi");
        EXPECT_FALSE(partialsLeft());
        ASSERT_FALSE(progress.downloads.empty());
        EXPECT_EQ(progress.downloads.back().received, static_cast<long long>(kBianchi.size()));
        EXPECT_EQ(progress.downloads.back().total, static_cast<long long>(kBianchi.size()));
    }
}

TEST_F(CatalogueDownload, HostileAnswersFailClearlyOrStartAgainFromZero) {
    const std::string gz = gzipped(kBianchi);
    const std::string rest = std::to_string(kBianchi.size() - 1) + "/" + std::to_string(kBianchi.size());
    struct Case {
        const char* what;
        bool cutFirst;  // the first request is cut at kCut, leaving a partial document
        std::function<void(const httplib::Request&, httplib::Response&)> answer;
        int result;
        const char* names;  // what the store holds afterwards
    } cases[] = {
        {"304 not asked for", false, [](auto&, auto& r) { r.status = 304; }, 1, "Rossi"},
        {"206 not asked for", false, [&](auto&, auto& r) { partAnswer(r, kBianchi, 0, "bytes 0-" + rest, "\"b1\""); }, 1, "Rossi"},
        {"wrong Content-Range", true,
         [&](auto& q, auto& r) {
             if (q.has_header("Range")) return partAnswer(r, kBianchi, kCut, "bytes 5-" + rest, "\"b1\"");
             r.set_content(kBianchi, "application/octet-stream");
         },
         0, "Bianchi"},
        {"ETag changed between the parts", true,
         [&](auto& q, auto& r) {
             if (q.has_header("Range"))
                 return partAnswer(r, kVerdi, kCut, "bytes " + std::to_string(kCut) + "-" + std::to_string(kVerdi.size() - 1) + "/" +
                                                        std::to_string(kVerdi.size()), "\"v2\"");
             r.set_header("ETag", "\"v2\"");
             r.set_content(kVerdi, "application/octet-stream");
         },
         0, "Verdi"},
        {"truncated gzip", false,
         [&](auto&, auto& r) {
             r.set_header("Content-Encoding", "gzip");
             r.set_content(gz.substr(0, gz.size() / 2), "application/octet-stream");
         },
         -1, "Rossi"},
        {"unknown Content-Encoding", false,
         [&](auto&, auto& r) {
             r.set_header("Content-Encoding", "zz");
             r.set_content(kBianchi, "application/octet-stream");
         },
         1, "Rossi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedServer server([&c](const httplib::Request& request, httplib::Response& response, int n) {
            if (c.cutFirst && n == 0) return cutAnswer(response, kBianchi, kCut, "\"b1\"");
            c.answer(request, response);
        });
        rawQuery("UPDATE Parametro SET valore = '' WHERE attributo LIKE 'SYSTEM_%'");
        db->commit();
        load(kRossi);
        if (c.cutFirst) run(server);
        auto loader = run(server);
        if (c.result >= 0)
            EXPECT_EQ(loader->result(), c.result);
        else
            EXPECT_NE(loader->result(), 0);
        EXPECT_EQ(names(), c.names);
        EXPECT_EQ(server.count(), c.cutFirst ? 3 : 1) << "a refused part is followed by one whole download";
        EXPECT_FALSE(partialsLeft());
    }
}

TEST_F(CatalogueDownload, ALastModifiedInTheFutureIsNeverAskedAbout) {
    std::string current = kBianchi;
    ScriptedServer server([&current](const httplib::Request& request, httplib::Response& response, int) {
        response.set_header("Last-Modified", "Fri, 01 Jan 2100 00:00:00 GMT");
        if (request.has_header("If-Modified-Since")) {
            response.status = 304;  // a server whose clock runs ahead would hide every change
            return;
        }
        response.set_content(current, "text/xml");
    });
    ASSERT_EQ(run(server)->result(), 0);
    current = kVerdi;
    EXPECT_EQ(run(server)->result(), 0);
    EXPECT_EQ(server.header(1, "If-Modified-Since"), "");
    EXPECT_EQ(names(), "Verdi");
}
