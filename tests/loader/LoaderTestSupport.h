#pragma once

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "loader/CaricatoreDatabase.h"
#include "loader/ProgressView.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "store/StoreFixture.h"

namespace torvane::test {

// Serves catalogue documents on 127.0.0.1 (a free port) and remembers what was asked for.
// "/slow..." does not answer within a short time-out; "/cut..." closes half-way through the
// body.
class DocumentServer {
public:
    DocumentServer() {
        server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            answer(request.path, response);
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        if (port_ <= 0) throw std::runtime_error("loopback server not started");
        // Bound and listening already: a request made before the thread runs waits in the queue.
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~DocumentServer() {
        stopping_ = true;
        server_.stop();
        thread_.join();
    }
    void serve(const std::string& path, std::string body, int status = 200) {
        std::lock_guard lock(mutex_);
        documents_[path] = {status, std::move(body)};
    }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    std::vector<std::string> requested() const {
        std::lock_guard lock(mutex_);
        return requested_;
    }

private:
    void answer(const std::string& path, httplib::Response& response) {
        std::pair<int, std::string> reply{404, "<html><body>Not Found</body></html>"};
        {
            std::lock_guard lock(mutex_);
            requested_.push_back(path);
            if (auto found = documents_.find(path); found != documents_.end()) reply = found->second;
        }
        if (path.rfind("/slow", 0) == 0) {
            for (int i = 0; i < 300 && !stopping_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return;
        }
        if (path.rfind("/cut", 0) == 0) {
            // Promises 100000 bytes, sends a few, then drops the connection.
            response.set_content_provider(100000, "text/xml", [](size_t offset, size_t, httplib::DataSink& sink) {
                if (offset > 0) return false;
                const std::string start = "<TorvaneMobile><NumeroElement>5</NumeroElement><Azienda>";
                sink.write(start.data(), start.size());
                return false;
            });
            return;
        }
        response.status = reply.first;
        response.set_content(reply.second, "text/xml");
    }

    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::map<std::string, std::pair<int, std::string>> documents_;
    std::vector<std::string> requested_;
};

// Records what the loader shows on the progress panel.
class RecordingProgress : public ProgressView {
public:
    void setLabel1Activity(const std::string& text) override { label1.push_back(text); }
    void setLabel2Activity(const std::string& text) override { label2.push_back(text); }
    void updateProgressBar(float value) override {
        bars.push_back(value);
        if (failAfterBars > 0 && static_cast<int>(bars.size()) >= failAfterBars)
            throw std::runtime_error("pannello guasto");
    }
    std::vector<std::string> label1, label2;
    std::vector<float> bars;
    int failAfterBars = 0;  // > 0: the panel fails at that update (a failure in mid-load)
};

// A catalogue document around the given sections.
inline std::string document(const std::string& sections, const std::string& timestamp = "20260101000000",
                            const std::string& numero = "100") {
    std::string ts = timestamp.empty() ? "" : "<Timestamp>" + timestamp + "</Timestamp>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TorvaneMobile><NumeroElement>" + numero +
           "</NumeroElement><Azienda><Codice>01</Codice>" + ts + sections + "</Azienda></TorvaneMobile>";
}

// A store, preferences and a loader that does not pause.
struct LoaderFixture : StoreFixture {
    std::vector<ui::Alert> alerts;

    void SetUp() override {
        StoreFixture::SetUp();
        Preferences::standard().setString(keys::pref_user, "mario");
    }
    std::unique_ptr<CaricatoreDatabase> newLoader() {
        auto loader = std::make_unique<CaricatoreDatabase>();
        loader->setDatabase(db);
        loader->setPauseAfterDownload(std::chrono::milliseconds(0));
        loader->setAlertPresenter([this](const ui::Alert& alert) { alerts.push_back(alert); });
        return loader;
    }
    // Loads one document as a run of one step would; returns the loader to read.
    std::unique_ptr<CaricatoreDatabase> load(const std::string& xml, const std::string& name = "01.L1.xml",
                                             ProgressView* view = nullptr) {
        auto loader = newLoader();
        loader->caricaXmlNamed(name, xml, view);
        return loader;
    }
    // The freshness marker of a document for the user "mario".
    std::optional<std::string> marker(const std::string& document = "01.L1.xml") {
        return text("SELECT valore FROM Parametro WHERE attributo = 'SYSTEM_mario_" + document + "'");
    }
    std::optional<std::string> text(const std::string& sql) {
        auto rows = rawQuery(sql);
        if (rows.empty()) return std::nullopt;
        if (auto* s = std::get_if<std::string>(&rows[0][0])) return *s;
        if (auto* n = std::get_if<long long>(&rows[0][0])) return std::to_string(*n);
        return std::nullopt;
    }
};

}  // namespace torvane::test
