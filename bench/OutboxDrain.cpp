// Drains 100 waiting messages, each the e-mail of a 1000-line order with its five
// attachments (signature, client photo, PDF, text, XML), to a real SMTP server on loopback
// (Debian's aiosmtpd), through the background sender while a stand-in main thread runs as the
// window's does: woken every millisecond, and redrawing the settings screen's outbox figures
// whenever the sender reports. Targets: under 50 ms per message (median); no main-thread
// stall over 16 ms. Floors: the same message handed to the same server by libcurl alone, and
// the main thread's longest gap over 3 s with nothing sending.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "BenchStats.h"
#include "ThousandLineOrder.h"
#include "mail/MailMessage.h"
#include "mail/Outbox.h"
#include "mail/OutboxSender.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Picture.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "review/OrderMail.h"
#include "review/ReportScelta.h"

using namespace torvane;
using bench::Clock;
namespace fs = std::filesystem;

extern char** environ;

namespace {

constexpr int kMessages = 100;

// The test suite's SMTP server, on a free port: its pid and its URL.
struct Server {
    pid_t pid = 0;
    std::string url;
    ~Server() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }
};

bool startServer(Server& server, const std::string& folder) {
    fs::create_directories(folder);
    int out[2];
    if (::pipe(out) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string script = TORVANE_SMTP_SERVER_SCRIPT;
    std::vector<char*> argv{const_cast<char*>("/usr/bin/python3"), script.data(), const_cast<char*>("--dir"),
                            const_cast<char*>(folder.c_str()), nullptr};
    const int spawned = posix_spawn(&server.pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string banner;
    char c;
    while (spawned == 0 && ::read(out[0], &c, 1) == 1 && c != '\n') banner += c;
    ::close(out[0]);
    const auto colon = banner.rfind(':');
    if (spawned != 0 || colon == std::string::npos) return false;
    server.url = "smtp://127.0.0.1:" + banner.substr(colon + 1);
    return true;
}

std::vector<unsigned char> picture(const char* name) {
    std::string problem;
    return Picture::pngFromFile(std::string(TORVANE_RESOURCES_SOURCE_DIR) + "/" + name, problem).value_or(
        std::vector<unsigned char>{});
}

int countFiles(const std::string& folder, const char* extension) {
    int n = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == extension) ++n;
    return n;
}

// The window's thread as far as the outbox is concerned: tasks posted by the sender run here,
// between wake-ups every millisecond; the longest time between two wake-ups is the stall.
class MainThread {
public:
    void post(std::function<void()> task) {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        wake_.notify_one();
    }
    double runUntil(const std::function<bool()>& done) {
        double longest = 0;
        auto last = Clock::now();
        while (!done()) {
            std::deque<std::function<void()>> tasks;
            {
                std::unique_lock lock(mutex_);
                wake_.wait_for(lock, std::chrono::milliseconds(1), [this] { return !tasks_.empty(); });
                tasks.swap(tasks_);
            }
            for (auto& task : tasks) task();
            const auto now = Clock::now();
            longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
        }
        return longest;
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
};

}  // namespace

int main() {
    auto folder = fs::temp_directory_path() / "torvane-bench-outbox";
    fs::remove_all(folder);
    fs::create_directories(folder);
    Paths::setRoot(folder.string());
    Preferences::resetStandard((folder / "prefs.json").string());
    for (auto key : {keys::pref_REPORTPDFENABLED, keys::pref_REPORTTXTENABLED, keys::pref_REPORTHTMLENABLED})
        Preferences::standard().setBool(key, true);
    Log::setSink(nullptr);  // the figures are the sending's, not the log's

    auto db = Database::openFile((folder / "bench.sqllite").string(), "B");
    if (!db) return 1;
    SceltaTestata testata = bench::buildThousandLineOrder(*db);
    testata.setFirma(picture("magnifying_glass.png"));
    auto cliente = db->fetchClienteByCodice("C0001");
    cliente->setEmail(std::string("acquisti@rossi.example"));
    cliente->setFoto(picture("torvane.png"));
    const std::string xmlPath = (folder / "Ordine.xml").string();
    ReportScelta(db).createReportXmlOrdine(testata, xmlPath);
    MailDraft draft = OrderMail(db).compose(testata, xmlPath, std::chrono::system_clock::now());
    const std::string message = MailMessage::build(draft, "agente@azienda.it", std::chrono::system_clock::now());
    std::printf("message: %zu attachments, %zu bytes\n", draft.attachments.size(), message.size());
    if (draft.attachments.size() != 5) return 1;

    Server server;
    if (!startServer(server, (folder / "smtp").string())) {
        std::fprintf(stderr, "SMTP server did not start (python3-aiosmtpd)\n");
        return 1;
    }
    const SmtpSettings settings{server.url, "", "", ""};

    // The background drain of 100 waiting messages, the main thread watching.
    Outbox outbox;
    for (int i = 0; i < kMessages; ++i) outbox.save(message);
    MainThread main;
    // The same loop with nothing sending: what the machine itself does to a waiting thread.
    const auto idleStart = Clock::now();
    const double idleGap = main.runUntil([&] { return bench::secondsSince(idleStart) > 3; });
    double longestTask = 0;
    const auto start = Clock::now();
    double stall = 0;
    {
        OutboxSender sender(outbox);
        sender.setOnChange([&] {
            main.post([&] {
                const auto taskStart = Clock::now();
                const OutboxStatus status = outbox.status();  // what the settings screen reads
                (void)status;
                longestTask = std::max(longestTask, std::chrono::duration<double, std::milli>(Clock::now() - taskStart).count());
            });
        });
        sender.drainNow(settings);
        stall = main.runUntil([&] { return sender.runs() >= 1; });
    }
    const double drained = bench::secondsSince(start);
    const int sent = countFiles(outbox.sentFolder(), ".eml");
    const int received = countFiles((folder / "smtp").string(), ".eml");
    std::printf("background drain: %d messages in %.2f s, %.1f ms each on average; sent %d, received %d, left %d\n",
                kMessages, drained, drained * 1000 / kMessages, sent, received, outbox.status().waiting);
    std::printf("main thread: longest wake-up gap %.1f ms of 16 ms (%.2fx; %.1f ms with nothing sending), "
                "longest outbox redraw %.2f ms\n",
                stall, stall / 16, idleGap, longestTask);

    // Per message: the outbox's whole step (lock, list, read, send, move) for one message,
    // each beside the floor (libcurl alone, the same bytes to the same server), so both see
    // the same machine.
    bench::Samples each, floor;
    for (int i = 0; i < kMessages; ++i) {
        outbox.save(message);
        each.time([&] { outbox.sendAll(SmtpSender(settings)); });
        floor.time([&] { SmtpSender(settings).send("agente@azienda.it", {"acquisti@rossi.example"}, message); });
    }
    each.print("outbox, one message");
    floor.print("floor: libcurl send alone");
    const double median = each.percentile(0.5) / 1000;
    std::printf("%-44s %.1f ms of 50 ms target (%.2fx); %.2fx the floor\n", "", median, median / 50,
                each.percentile(0.5) / floor.percentile(0.5));
    const bool allThere = sent == kMessages && received == kMessages && countFiles(outbox.sentFolder(), ".eml") == 2 * kMessages;
    if (!allThere) std::printf("NOT every message arrived once\n");
    return allThere ? 0 : 1;
}
