// torvane-fiera as the fair PC runs it: the real binary on a free loopback port, reached by
// the device's own upload and by hand-made requests for what a device never sends.
#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <filesystem>

#include "review/OrderUpload.h"
#include "support/FairProcess.h"

namespace torvane::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

inline std::string order(const std::string& numero, const std::string& cliente, int righe = 1) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TorvaneMobile><Udid>U1</Udid>"
                      "<Azienda Codice=\"01\"><Username>mario</Username><Ordine Progressivo=\"" +
                      numero + "\"><ClienteFornitore BarCode=\"B1\"><Codice>C01</Codice><RagioneSociale1>" + cliente +
                      "</RagioneSociale1></ClienteFornitore><Agente>AG7</Agente>";
    for (int i = 0; i < righe; ++i) xml += "<DettaglioOrdine><Riga>" + std::to_string(i + 1) + "</Riga></DettaglioOrdine>";
    return xml + "</Ordine></Azienda></TorvaneMobile>\n";
}

// A connection to the server from `source` (any 127.x.y.z address is this PC: a test can be
// several devices); -1 when it cannot be made.
inline int connectFrom(int port, const char* source = "127.0.0.1") {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    inet_pton(AF_INET, source, &from.sin_addr);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(s, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
        connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(s);
        return -1;
    }
    return s;
}

// Sends bytes as they are and reads until the server closes or `wait` passes.
// With `hangUp` the client stops sending there, as a device whose network went away.
inline std::string rawExchange(int port, const std::string& bytes, std::chrono::milliseconds wait = 3000ms,
                               bool hangUp = false, const char* source = "127.0.0.1") {
    const int s = connectFrom(port, source);
    if (s < 0) return "no connection";
    send(s, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (hangUp) shutdown(s, SHUT_WR);
    timeval timeout{static_cast<time_t>(wait.count() / 1000), static_cast<suseconds_t>(wait.count() % 1000 * 1000)};
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string answer;
    char buffer[4096];
    for (ssize_t got; (got = recv(s, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, static_cast<size_t>(got));
    close(s);
    return answer;
}

struct FairServerTest : ::testing::Test {
    TempDir root;
    fs::path dir = root.path() / "fiera";
    std::unique_ptr<FairProcess> fair;

    void SetUp() override {
        signal(SIGPIPE, SIG_IGN);  // the server closes on a client still sending a refused body
        fs::create_directories(dir);
        writeFile(dir / "fiere.xml", "<Fiere><Fiera>Milano Unica</Fiera></Fiere>");
        fs::create_directories(dir / "foto");
        writeFile(dir / "foto" / "ART1.jpg", std::string("\xff\xd8\xff\xe0 jpeg", 9));
        writeFile(root.path() / "segreto.txt", "fuori dalla cartella");
        fair = std::make_unique<FairProcess>(dir.string());
    }
    httplib::Client client() const {
        httplib::Client c("127.0.0.1", fair->port());
        c.set_read_timeout(10, 0);
        return c;
    }
    httplib::Result upload(const std::string& fileName, const std::string& content, const std::string& field = "userfile") {
        httplib::MultipartFormDataItems items{{field, content, fileName, "application/octet-stream"}};
        return client().Post("/upload.php", items);
    }
    std::vector<std::string> stored() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir / "ordini")) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The device's own upload, with the exact bytes it sends.
    int deviceUpload(const std::string& xmlPath, const std::string& name) {
        UploadRequest request;
        request.serverUrl = "http://127.0.0.1:" + std::to_string(fair->port());
        return OrderUpload(request).postXmlFile(xmlPath, name, 5.0);
    }
};

}  // namespace torvane::test
