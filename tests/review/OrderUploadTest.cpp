// The upload of an order document to the fair PC, against loopback servers that answer in
// each of the ways a fair PC can: accepted, an error status, an HTML page, no answer within
// the time-out, an answer cut off; and the outcome on the order header.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "OrderFixture.h"
#include "platform/DateFormat.h"
#include "platform/Device.h"
#include "review/OrderUpload.h"
#include "review/UploadOutcome.h"

namespace torvane::test {
namespace {

using namespace std::chrono_literals;

const std::string kBoundary = "---------------------------14737809831466499882746641449";

// A fair PC on 127.0.0.1 whose answer depends on the folder: "/ok" accepts, "/error" answers
// 500 (with the marker in its text), "/html" a page whose text has "successfully" without
// the blanks, "/slow" never answers in time, "/cut" drops the connection mid-answer,
// "/third" fails twice then accepts.
class FairPc {
public:
    struct Received {
        std::string contentType, fileName, fileContent;
    };

    FairPc() {
        server_.Post(R"(/(\w+)/upload\.php)", [this](const httplib::Request& request, httplib::Response& response) {
            const std::string shape = request.matches[1];
            {
                Received r{request.get_header_value("Content-Type"), {}, {}};
                if (request.has_file("userfile")) {
                    r.fileName = request.get_file_value("userfile").filename;
                    r.fileContent = request.get_file_value("userfile").content;
                }
                std::lock_guard lock(mutex_);
                received_.push_back(r);
            }
            if (shape == "ok") return response.set_content("File accepted successfully here", "text/plain");
            if (shape == "error") {
                response.status = 500;
                return response.set_content("Disk full: not saved successfully either", "text/plain");
            }
            if (shape == "html")
                return response.set_content("<html><body>Upload completed:successfully</body></html>", "text/html");
            if (shape == "third") {
                if (++calls_ < 3) return response.set_content("busy, try again", "text/plain");
                return response.set_content("stored successfully at last", "text/plain");
            }
            if (shape == "slow") {
                for (int i = 0; i < 300 && !stopping_; ++i) std::this_thread::sleep_for(10ms);
                return response.set_content("too late successfully ", "text/plain");
            }
            if (shape == "cut") {
                response.set_content_provider(100000, "text/plain", [](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset > 0) return false;
                    const std::string start = "File accepted successfully ";
                    sink.write(start.data(), start.size());
                    return false;
                });
                return;
            }
            response.status = 404;
            response.set_content("<html><body>Not Found</body></html>", "text/html");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        if (port_ <= 0) throw std::runtime_error("loopback server not started");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~FairPc() {
        stopping_ = true;
        server_.stop();
        thread_.join();
    }
    std::string url(const std::string& shape) const { return "http://127.0.0.1:" + std::to_string(port_) + "/" + shape; }
    std::vector<Received> received() const {
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> calls_{0};
    mutable std::mutex mutex_;
    std::vector<Received> received_;
};

struct OrderUploadTest : OrderFixture {
    FairPc pc;
    std::optional<SceltaTestata> testata;
    std::string xmlPath;

    void SetUp() override {
        OrderFixture::SetUp();
        prefs().setString(keys::pref_user, "mario");
        cliente("C01", "Tessuti Rossi");
        listino("L1", "Estate");
        articolo("A1");
        testata = ordine(42, "C01", "L1");
        riga(*testata, "A1", "001", 10, "5.50");
        db->commit();
        xmlPath = dir.file("Ordine.xml");
        ASSERT_TRUE(reports().createReportXmlOrdine(*testata, xmlPath));
    }
    UploadRequest request(const std::string& shape) {
        prefs().setString(keys::pref_FIERAHTTPSERVER, pc.url(shape));
        return OrderUpload::requestFor(*testata, xmlPath);
    }
    // Short time-outs: the slow server would otherwise hold a test for 45 seconds.
    OrderUpload upload(const std::string& shape, std::function<Timestamp()> clock = {}) {
        return OrderUpload(request(shape), {0.5, 0.5, 0.5}, std::move(clock));
    }
};

TEST_F(OrderUploadTest, PostsTheFileInTheExactMultipartLayout) {
    // The layout the fair PC's receivers expect, byte for byte; libcurl sends it unchanged.
    EXPECT_EQ(OrderUpload::multipartBody("O.xml", "<a/>"),
              "\r\n--" + kBoundary + "\r\nContent-Disposition: form-data; name=\"userfile\"; filename=\"O.xml\"\r\n" +
                  "Content-Type: application/octet-stream\r\n\r\n<a/>\r\n\r\n--" + kBoundary + "--\r\n");

    EXPECT_EQ(upload("ok").postXmlFile(xmlPath, "ORDINE_prova.xml", 5.0), 0);
    ASSERT_EQ(pc.received().size(), 1u);
    const FairPc::Received got = pc.received()[0];
    EXPECT_EQ(got.contentType, "multipart/form-data; boundary=" + kBoundary);
    // A form parser sees one file field holding the document and one extra line break.
    EXPECT_EQ(got.fileName, "ORDINE_prova.xml");
    EXPECT_EQ(got.fileContent, readFile(xmlPath) + "\r\n");

    EXPECT_TRUE(log->contains("Http Server:" + pc.url("ok")));
    EXPECT_TRUE(log->contains("URL upload :" + pc.url("ok") + "/upload.php"));
    EXPECT_TRUE(log->contains("Risposta HTTP :File accepted successfully here:"));
    EXPECT_EQ(OrderUpload::uploadUrl("http://10.0.0.5/fiera/"), "http://10.0.0.5/fiera/upload.php");
}

TEST_F(OrderUploadTest, OnlyAnAcceptedAnswerHoldingTheMarkerIsASuccess) {
    struct Shape {
        std::string shape;
        std::string why;
    };
    const std::vector<Shape> failures = {
        {"error", "an error status, even with the marker in its page"},
        {"html", "the word without a blank on each side"},
        {"cut", "an answer cut off before its end"},
        {"missing", "no such page (404)"},
    };
    for (const Shape& s : failures) EXPECT_EQ(upload(s.shape).postXmlFile(xmlPath, "x.xml", 5.0), -1) << s.why;

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(upload("slow").postXmlFile(xmlPath, "x.xml", 0.3), -1) << "no answer within the time-out";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_TRUE(log->contains("Risposta HTTP :(null):"));

    UploadRequest down = request("ok");
    down.serverUrl = "http://127.0.0.1:1";  // nothing listens there
    EXPECT_EQ(OrderUpload(down).postXmlFile(xmlPath, "x.xml", 1.0), -1);
    EXPECT_EQ(upload("ok").postXmlFile(dir.file("absent.xml"), "x.xml", 1.0), -1) << "no document to send";
}

TEST_F(OrderUploadTest, FileNamesCarryUserDeviceCreationNumberAttemptAndTheTimeOfEachAttempt) {
    const char* zone = std::getenv("TZ");
    const std::string saved = zone ? zone : "";
    setenv("TZ", "UTC", 1);
    DateFormat::refreshDeviceTimeZone();
    // 30 December 2024 is in the first week of 2025: the week year "25", not the calendar's "24".
    const Timestamp created = *parseIsoDate("2024-12-30T12:00:00Z");
    EXPECT_EQ(OrderUpload::uploadFileName("mario", "UD-1", created, 42, 2, *parseIsoDate("2026-03-04T09:05:07Z")),
              "ORDINE_mario_UD-1_251230120000_00042_2_260304090507.xml");
    // A user name must neither end the quoted name in the request nor make it a path.
    EXPECT_EQ(OrderUpload::uploadFileName("ma/ri\"o\\\r\n", "U", created, 7, 1, created),
              "ORDINE_ma_ri_o____U_251230120000_00007_1_251230120000.xml");
    if (zone) setenv("TZ", saved.c_str(), 1);
    else unsetenv("TZ");
    DateFormat::refreshDeviceTimeZone();
}

TEST_F(OrderUploadTest, ThreeAttemptsUnderNewNamesThenTheOrderIsMarkedSentAndCommitted) {
    int tick = 0;
    auto clock = [&tick] { return *parseIsoDate("2026-03-04T10:00:00Z") + std::chrono::seconds(++tick); };
    // The attempts run on a worker thread; only their end comes back to this one.
    UploadResult result;
    OrderUpload sender = upload("third", clock);
    std::thread worker([&] { result = sender.inviaOrdine(); });
    worker.join();

    ASSERT_TRUE(result.sent);
    ASSERT_EQ(result.fileNames.size(), 3u);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        const std::string& name = result.fileNames[attempt - 1];
        EXPECT_NE(name.find("_00042_" + std::to_string(attempt) + "_"), std::string::npos) << name;
        EXPECT_NE(name.find("ORDINE_mario_" + Device::identifier() + "_"), std::string::npos) << name;
        EXPECT_TRUE(log->contains("Invio Ordine " + std::to_string(attempt) + "^ tentativo: " + name + " ..."));
    }
    EXPECT_NE(result.fileNames[0].substr(result.fileNames[0].size() - 16),
              result.fileNames[1].substr(result.fileNames[1].size() - 16))
        << "each attempt takes the time anew";
    std::vector<std::string> sentNames;
    for (const auto& r : pc.received()) sentNames.push_back(r.fileName);
    EXPECT_EQ(sentNames, result.fileNames);

    const Timestamp now = *parseIsoDate("2026-03-04T10:01:00Z");
    std::vector<ui::Alert> alerts;
    EXPECT_EQ(UploadOutcome::apply(*testata, *db, result, [&](const ui::Alert& a) { alerts.push_back(a); }, now),
              UploadRecord::Sent);
    EXPECT_TRUE(alerts.empty());
    EXPECT_TRUE(log->contains("OK. Inviato !!"));
    db->rollback();  // what survives a rollback was committed
    EXPECT_EQ(testata->status(), 1);
    EXPECT_EQ(testata->emailTrasmissione(), "Inviato a HTTP Server Fiera");
    EXPECT_EQ(testata->dataTrasmissione(), now);
    // Sent again later: the first transmission time stays.
    EXPECT_EQ(UploadOutcome::apply(*testata, *db, result, {}, now + std::chrono::hours(1)), UploadRecord::Sent);
    EXPECT_EQ(testata->dataTrasmissione(), now);
}

TEST_F(OrderUploadTest, WhenEveryAttemptFailsTheAgentIsToldAndTheOrderStaysSendable) {
    const UploadResult result = upload("error").inviaOrdine();
    EXPECT_FALSE(result.sent);
    EXPECT_EQ(result.lastResult, -1);
    EXPECT_EQ(result.fileNames.size(), 3u);
    EXPECT_EQ(pc.received().size(), 3u);

    std::vector<ui::Alert> alerts;
    EXPECT_EQ(UploadOutcome::apply(*testata, *db, result, [&](const ui::Alert& a) { alerts.push_back(a); },
                                   std::chrono::system_clock::now()),
              UploadRecord::NotSent);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].title, "Attenzione:");
    EXPECT_EQ(alerts[0].message, "Invio al PC Fiera non riuscito !!");
    EXPECT_EQ(alerts[0].buttons, std::vector<std::string>{"Continua"});
    EXPECT_TRUE(log->contains("Errore invio CC=-1"));
    EXPECT_FALSE(log->contains("OK. Inviato !!"));
    EXPECT_NE(testata->status(), 1);
    EXPECT_FALSE(testata->dataTrasmissione());
    EXPECT_FALSE(testata->emailTrasmissione());
}

}  // namespace
}  // namespace torvane::test
