// torvane-fiera under a fair's load on loopback: 50 devices each upload a different 1000-line
// order at the same moment while 30 slow clients hold connections, sending a request's
// headers a byte at a time (and connecting again whenever the server cuts them). Each device
// and each slow client has an address of its own (127.0.1.x, 127.0.2.x), as on a stand's LAN.
// Every upload must be answered as stored and found once in the orders folder. Targets: median
// upload under 50 ms, 99th percentile under 500 ms. The floor is the same uploads with no slow
// client; several rounds of each, figures over all of them.
//
// FairServerLoad [path of torvane-fiera]; by default the one built beside this program.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <barrier>
#include <filesystem>
#include <fstream>
#include <thread>

#include "BenchStats.h"
#include "FairServerProcess.h"

namespace fs = std::filesystem;
using namespace torvane;
using namespace std::chrono_literals;

namespace {

constexpr int kDevices = 50, kSlowClients = 30, kLines = 1000, kRounds = 5;
const std::string kBoundary = "----torvane-banco-di-prova";

std::string orderDocument(int device, int round) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TorvaneMobile><Udid>BENCH" + std::to_string(device) +
                      "</Udid><Azienda Codice=\"01\"><Username>agente" + std::to_string(device) +
                      "</Username><Ordine Progressivo=\"" + std::to_string(round) +
                      "\"><ClienteFornitore BarCode=\"C0001\"><Codice>C0001</Codice><RagioneSociale1>Tessuti Rossi"
                      "</RagioneSociale1></ClienteFornitore><Agente>AG01</Agente>\n";
    for (int i = 0; i < kLines; ++i)
        xml += "<DettaglioOrdine Riga=\"" + std::to_string(i + 1) + "\"><Articolo>ART" + std::to_string(1000 + i % 200) +
               "</Articolo><Colore>" + std::to_string(i % 37) + "</Colore><Quantita>" + std::to_string(1 + i % 40) +
               ".50</Quantita><Prezzo>12.00</Prezzo><Listino BarCode=\"L01\"/></DettaglioOrdine>\n";
    return xml + "</Ordine></Azienda></TorvaneMobile>\n";
}

int connectFrom(int port, const std::string& source) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in from{}, to{};
    from.sin_family = to.sin_family = AF_INET;
    inet_pton(AF_INET, source.c_str(), &from.sin_addr);
    to.sin_port = htons(static_cast<uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(s, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
        connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        close(s);
        return -1;
    }
    return s;
}

// The device's upload (multipart, field "userfile"), answered when the server closes.
std::string upload(int port, const std::string& source, const std::string& name, const std::string& xml) {
    const std::string body = "--" + kBoundary + "\r\nContent-Disposition: form-data; name=\"userfile\"; filename=\"" + name +
                             "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + xml + "\r\n--" + kBoundary + "--\r\n";
    const std::string request = "POST /upload.php HTTP/1.1\r\nHost: fiera\r\nConnection: close\r\n"
                                "Content-Type: multipart/form-data; boundary=" + kBoundary + "\r\nContent-Length: " +
                                std::to_string(body.size()) + "\r\n\r\n" + body;
    const int s = connectFrom(port, source);
    if (s < 0) return {};
    for (std::size_t sent = 0; sent < request.size();) {
        const ssize_t n = send(s, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    std::string answer;
    char buffer[4096];
    for (ssize_t n; (n = recv(s, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, static_cast<std::size_t>(n));
    close(s);
    return answer;
}

// Slow clients, each holding a connection and sending one byte of headers every half second.
class SlowClients {
public:
    SlowClients(int port, int count) : port_(port) {
        for (int i = 0; i < count; ++i) sockets_.push_back(connectFrom(port_, source(i)));
        thread_ = std::thread([this] { trickle(); });
    }
    ~SlowClients() {
        stop_ = true;
        thread_.join();
        for (int s : sockets_)
            if (s >= 0) close(s);
    }
    int held() const { return held_; }
    int reconnections() const { return reconnections_; }

private:
    static std::string source(int i) { return "127.0.2." + std::to_string(10 + i); }
    void trickle() {
        const std::string headers = "GET /fiere.xml HTTP/1.1\r\nHost: fiera\r\nX-Lento: ";
        for (std::size_t b = 0; !stop_; ++b) {
            int held = 0;
            for (std::size_t i = 0; i < sockets_.size(); ++i) {
                if (sockets_[i] >= 0 && send(sockets_[i], &headers[b % headers.size()], 1, MSG_NOSIGNAL) == 1) {
                    ++held;
                    continue;
                }
                if (sockets_[i] >= 0) close(sockets_[i]);
                sockets_[i] = connectFrom(port_, source(static_cast<int>(i)));  // cut: straight back
                ++reconnections_;
            }
            held_ = held;
            std::this_thread::sleep_for(500ms);
        }
    }
    int port_;
    std::vector<int> sockets_;
    std::atomic<bool> stop_{false};
    std::atomic<int> held_{0}, reconnections_{0};
    std::thread thread_;
};

// One round: every device uploads at once; the number answered as stored.
int round(int port, int round, bench::Samples& samples) {
    std::vector<std::string> documents;
    for (int d = 0; d < kDevices; ++d) documents.push_back(orderDocument(d, round));
    std::vector<double> micros(kDevices);
    std::atomic<int> stored{0};
    std::barrier start(kDevices);
    std::vector<std::thread> devices;
    for (int d = 0; d < kDevices; ++d)
        devices.emplace_back([&, d] {
            start.arrive_and_wait();
            const auto begin = bench::Clock::now();
            const std::string answer = upload(port, "127.0.1." + std::to_string(10 + d),
                                              "ORDINE_" + std::to_string(round) + "_" + std::to_string(d) + ".xml",
                                              documents[static_cast<std::size_t>(d)]);
            micros[static_cast<std::size_t>(d)] =
                std::chrono::duration<double, std::micro>(bench::Clock::now() - begin).count();
            if (answer.rfind("HTTP/1.1 200", 0) == 0 && answer.find(" successfully ") != std::string::npos) ++stored;
        });
    for (auto& t : devices) t.join();
    for (double m : micros) samples.add(m);
    return stored;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string program = argc > 1 ? argv[1] : (fs::canonical("/proc/self/exe").parent_path().parent_path() /
                                                      "server" / "torvane-fiera").string();
    const fs::path folder = fs::temp_directory_path() / "torvane-bench-fiera-load";
    fs::remove_all(folder);
    fs::create_directories(folder);
    // Every device and slow client is one connection of its own address: the default limits hold.
    const bench::FairServerProcess server = bench::FairServerProcess::start(program, folder.string());
    if (server.port == 0) {
        std::fprintf(stderr, "torvane-fiera did not start (%s)\n", program.c_str());
        if (server.pid > 0) kill(server.pid, SIGKILL);
        return 1;
    }
    std::printf("order of %d lines: %zu bytes, %d devices, %d slow clients\n", kLines, orderDocument(0, 0).size(),
                kDevices, kSlowClients);

    bench::Samples floor, loaded;
    int answered = 0, held = 0, reconnections = 0;
    for (int r = 0; r < kRounds; ++r) answered += round(server.port, r, floor);
    {
        SlowClients slow(server.port, kSlowClients);
        std::this_thread::sleep_for(1s);  // every slow client connected and trickling
        for (int r = kRounds; r < 2 * kRounds; ++r) {
            answered += round(server.port, r, loaded);
            held = std::max(held, slow.held());
        }
        reconnections = slow.reconnections();
    }
    const int exitStatus = server.stop();
    // The machine's own load, to read the figures by: the uploads share its cores with it.
    std::string load;
    std::getline(std::ifstream("/proc/loadavg"), load);
    std::printf("load average during the run: %s\n", load.c_str());

    floor.print("upload, no slow client (floor)");
    loaded.print("upload, 30 slow clients holding connections");
    const double median = loaded.percentile(0.5) / 1000.0, p99 = loaded.percentile(0.99) / 1000.0;
    std::printf("%-44s median %.1f ms of 50 ms target (%.2fx), p99 %.1f ms of 500 ms target (%.2fx)\n", "", median,
                median / 50.0, p99, p99 / 500.0);
    std::printf("%-44s median %.2fx the floor\n", "", loaded.percentile(0.5) / floor.percentile(0.5));
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder / "ordini"))
        if (entry.path().filename().string().rfind("ORDINE_", 0) == 0) ++files;
    const int expected = 2 * kRounds * kDevices;
    std::printf("answered as stored: %d of %d, files in the orders folder: %d, slow clients holding: %d of %d "
                "(reconnected %d times), server exit %d\n",
                answered, expected, files, held, kSlowClients, reconnections, exitStatus);
    return answered == expected && files == expected && exitStatus == 0 ? 0 : 1;
}
