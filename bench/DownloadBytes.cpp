// Bytes on the wire for a catalogue download from the real torvane-fiera, counted by a relay on
// loopback between the loader and the server (everything the server sends, headers included):
//   first load          target under 25% of the document (compression)
//   unchanged reload    target under 10 KB (validators: the server answers "not modified")
//   resumed load        after a cut at 90% of the first load's bytes, target under 15% of the
//                       document (a range for the rest only)
// Each figure is the median of RUNS runs; every load must have put the document's clients in
// the store (and the reload must have found it current), or the run fails. A server without
// compression, validators or ranges still gets its catalogue: the figures then show it.
//   DownloadBytes [medium|large] [RUNS] [path of torvane-fiera]
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "CatalogueGenerator.h"
#include "NullLogSink.h"
#include "loader/CaricatoreDatabase.h"
#include "loader/PartialDocument.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "store/Database.h"

using namespace torvane;
using namespace torvane::bench;
namespace fs = std::filesystem;

extern char** environ;

namespace {

// A TCP relay that counts what the server sends and can cut a connection after a number of
// those bytes. Written on plain sockets: no packaged library relays and counts bytes, and a
// cut at a chosen byte is the point of it.
class CountingRelay {
public:
    explicit CountingRelay(int serverPort) : serverPort_(serverPort) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 8) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("relay not started");
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { acceptLoop(); });
    }
    ~CountingRelay() {
        stopping_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        thread_.join();
    }
    int port() const { return port_; }
    // Bytes the server sent since the last call.
    long long takeCount() { return received_.exchange(0); }
    // Cuts each connection once the server sent `bytes` on it (0: never).
    void cutAfter(long long bytes) { cutAfter_ = bytes; }

private:
    void acceptLoop() {
        while (!stopping_) {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) return;
            relay(client);  // the loader makes one request at a time
        }
    }

    void relay(int client) {
        const int server = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(serverPort_));
        if (::connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            long long sent = 0;
            const long long cut = cutAfter_;
            std::vector<char> buffer(1 << 16);
            pollfd ends[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
            while (::poll(ends, 2, 30000) > 0) {
                if (ends[0].revents) {
                    const ssize_t n = ::read(client, buffer.data(), buffer.size());
                    if (n <= 0 || ::write(server, buffer.data(), static_cast<size_t>(n)) != n) break;
                }
                if (ends[1].revents) {
                    ssize_t n = ::read(server, buffer.data(), buffer.size());
                    if (n <= 0) break;
                    if (cut > 0) n = static_cast<ssize_t>(std::min<long long>(n, cut - sent));
                    if (::write(client, buffer.data(), static_cast<size_t>(n)) != n) break;
                    sent += n;
                    received_ += n;
                    if (cut > 0 && sent >= cut) break;
                }
            }
        }
        ::close(server);
        ::close(client);
    }

    int serverPort_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<long long> received_{0};
    std::atomic<long long> cutAfter_{0};
    std::thread thread_;
};

// The fair server on a free port, serving `folder`; stopped when the object goes.
class FairServer {
public:
    FairServer(const std::string& program, const std::string& folder) {
        int out[2];
        if (::pipe(out) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> words{program, "--dir", folder, "--port", "0"};
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        const int failed = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        std::string banner;
        char c;
        pollfd wait{out[0], POLLIN, 0};
        while (!failed && banner.find('\n') == std::string::npos && ::poll(&wait, 1, 10000) > 0 && ::read(out[0], &c, 1) == 1)
            banner += c;
        ::close(out[0]);
        const std::string prefix = "in ascolto su http://127.0.0.1:";
        if (failed || banner.rfind(prefix, 0) != 0) throw std::runtime_error("torvane-fiera not started: " + banner);
        port_ = std::stoi(banner.substr(prefix.size()));
    }
    ~FairServer() {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    int port() const { return port_; }

private:
    pid_t pid_ = 0;
    int port_ = 0;
};

struct Figures {
    std::vector<long long> first, unchanged, resumed;
};

long long median(std::vector<long long> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One load into `db`; its result, checked against what it must have done.
void loadOnce(const std::shared_ptr<Database>& db, const std::string& url, int expectedResult, int expectedClients) {
    CaricatoreDatabase loader;
    loader.setDatabase(db);
    loader.setPauseAfterDownload(std::chrono::milliseconds(0));
    loader.downloadDocuments({CaricatoreDatabase::urlSource(url)}, nullptr);
    const bool done = loader.result() == expectedResult &&
                      (expectedClients < 0 ? loader.tagsCaricati() == -1 : loader.clientiCaricati() == expectedClients);
    if (!done)
        throw std::runtime_error("load did not do its work: result " + std::to_string(loader.result()) + ", clients " +
                                 std::to_string(loader.clientiCaricati()));
}

std::shared_ptr<Database> freshStore(const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::remove_all(PartialDocument::folder());
    auto db = Database::openFile((folder / "store.sqllite").string(), "01");
    if (!db) throw std::runtime_error("store not made");
    return db;
}

void printFigure(const char* what, long long bytes, double document, const char* target, bool met) {
    std::printf("  %-18s %12lld bytes  %6.2f%% of the document  target %s: %s\n", what, bytes,
                100.0 * static_cast<double>(bytes) / document, target, met ? "met" : "NOT met");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string sizeName = argc > 1 ? argv[1] : "medium";
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string program = argc > 3 ? argv[3] : (fs::canonical("/proc/self/exe").parent_path().parent_path() /
                                                      "server" / "torvane-fiera").string();
    const CatalogueSize* size = catalogueSize(sizeName);
    if (!size) {
        std::fprintf(stderr, "usage: DownloadBytes [small|medium|large] [RUNS] [torvane-fiera]\n");
        return 2;
    }
    try {
        const fs::path folder = fs::temp_directory_path() / "torvane-bench-download";
        fs::remove_all(folder);
        fs::create_directories(folder / "fiera");
        Paths::setRoot((folder / "app").string());
        Preferences::resetStandard((folder / "prefs.json").string());
        Preferences::standard().setString(keys::pref_user, "bench");
        Log::setSink(std::make_shared<NullLogSink>());
        const std::string document = CatalogueGenerator::generate(*size);
        std::ofstream(folder / "fiera" / "01.L1.xml", std::ios::binary) << document;

        FairServer fiera(program, (folder / "fiera").string());
        CountingRelay relay(fiera.port());
        const std::string url = "http://127.0.0.1:" + std::to_string(relay.port()) + "/01.L1.xml";
        Figures figures;
        for (int run = 0; run < runs; ++run) {
            auto db = freshStore(folder / "store");
            relay.takeCount();
            loadOnce(db, url, 0, size->clients);
            const long long first = relay.takeCount();
            figures.first.push_back(first);
            loadOnce(db, url, 0, -1);
            figures.unchanged.push_back(relay.takeCount());

            db = freshStore(folder / "store");
            relay.cutAfter(first * 9 / 10);
            loadOnce(db, url, 1, 0);
            relay.cutAfter(0);
            relay.takeCount();
            loadOnce(db, url, 0, size->clients);
            figures.resumed.push_back(relay.takeCount());
        }
        const double bytes = static_cast<double>(document.size());
        std::printf("DownloadBytes %s: document %zu bytes, %d clients, median of %d runs\n", sizeName.c_str(),
                    document.size(), size->clients, runs);
        const long long first = median(figures.first), unchanged = median(figures.unchanged),
                        resumed = median(figures.resumed);
        printFigure("first load", first, bytes, "< 25%", first < bytes * 0.25);
        printFigure("unchanged reload", unchanged, bytes, "< 10 KB", unchanged < 10 * 1024);
        printFigure("resumed after 90%", resumed, bytes, "< 15%", resumed < bytes * 0.15);
        fs::remove_all(folder);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "DownloadBytes: %s\n", failure.what());
        return 1;
    }
    return 0;
}
