#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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
// body. A few lines of sockets rather than cpp-httplib: the test programs are not linked with
// the cpp-httplib library, whose Debian header declares its functions without defining them.
class DocumentServer {
public:
    DocumentServer() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        int yes = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 16) != 0)
            throw std::runtime_error("loopback server not started");
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { acceptLoop(); });
    }
    ~DocumentServer() {
        stopping_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
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
    void acceptLoop() {
        while (!stopping_) {
            int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) return;
            answer(client);
            ::close(client);
        }
    }
    static void sendAll(int socket, const std::string& data) {
        std::size_t sent = 0;
        while (sent < data.size()) {
            ssize_t n = ::send(socket, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return;
            sent += static_cast<std::size_t>(n);
        }
    }
    void answer(int client) {
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) return;
            request.append(buffer, static_cast<std::size_t>(n));
        }
        std::size_t start = request.find(' ') + 1;
        std::string path = request.substr(start, request.find(' ', start) - start);
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
            sendAll(client, "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: 100000\r\n\r\n"
                            "<TorvaneMobile><NumeroElement>5</NumeroElement><Azienda>");
            return;  // the connection closes with the body unfinished
        }
        sendAll(client, "HTTP/1.1 " + std::to_string(reply.first) + " X\r\nContent-Type: text/xml\r\nContent-Length: " +
                            std::to_string(reply.second.size()) + "\r\nConnection: close\r\n\r\n" + reply.second);
    }

    int listener_ = -1;
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
    std::optional<std::string> text(const std::string& sql) {
        auto rows = rawQuery(sql);
        if (rows.empty()) return std::nullopt;
        if (auto* s = std::get_if<std::string>(&rows[0][0])) return *s;
        if (auto* n = std::get_if<long long>(&rows[0][0])) return std::to_string(*n);
        return std::nullopt;
    }
};

}  // namespace torvane::test
