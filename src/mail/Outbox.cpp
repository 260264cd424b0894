#include "mail/Outbox.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "mail/MailAddress.h"
#include "mail/MailMessage.h"
#include "mail/SmtpSender.h"
#include "platform/FileModes.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/AtomicFile.h"

namespace torvane {

namespace fs = std::filesystem;

namespace {

constexpr const char* kExtension = ".eml";
constexpr const char* kMarkExtension = ".stato";
constexpr const char* kRefused = "rifiutato";
constexpr const char* kWaiting = "in attesa";

// A saved message's header block, up to the blank line that ends it, read without its
// attachments: a list of the outbox should not read megabytes of photos. None when the file
// cannot be read.
std::optional<std::string> readHeaderBlock(const std::string& path) {
    constexpr std::size_t kMostHeaderBytes = 256 * 1024;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string head;
    char chunk[4096];
    while (head.size() < kMostHeaderBytes && in.read(chunk, sizeof chunk).gcount() > 0) {
        const std::size_t searchFrom = head.size() < 3 ? 0 : head.size() - 3;
        head.append(chunk, static_cast<std::size_t>(in.gcount()));
        for (const char* blank : {"\r\n\r\n", "\n\n"}) {
            std::size_t end = head.find(blank, searchFrom);
            if (end != std::string::npos) return head.substr(0, end) + "\r\n\r\n";
        }
    }
    return head;
}

bool ensurePrivateFolder(const std::string& folder) {
    return FileModes::privateFolder(folder) && ::chmod(folder.c_str(), FileModes::kFolder) == 0;
}

bool writeAllDurably(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return ::fsync(fd) == 0;
}

// The rename is on disk only once the folder is.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Names sort in the order the messages were saved.
std::string newFileName() {
    static std::atomic<unsigned> counter{0};
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    return std::to_string(micros) + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + kExtension;
}


// Holds the outbox's lock file for one sending run.
class SendingLock {
public:
    explicit SendingLock(const std::string& folder)
        : fd_(::open((folder + "/.invio.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, FileModes::kFile)) {
        held_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
    }
    ~SendingLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    SendingLock(const SendingLock&) = delete;
    SendingLock& operator=(const SendingLock&) = delete;
    bool held() const { return held_; }

private:
    int fd_;
    bool held_ = false;
};

}  // namespace

Outbox::Outbox() : Outbox(Paths::documents() + "/Outbox", Paths::documents() + "/Inviati") {}

Outbox::Outbox(std::string folder, std::string sentFolder)
    : folder_(std::move(folder)), sentFolder_(std::move(sentFolder)) {}

// Whole or not at all, readable by this user only.
bool writePrivately(const std::string& path, const std::string& bytes) {
    const std::string temporary = temporarySiblingOf(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, FileModes::kFile);
    const bool written = fd >= 0 && writeAllDurably(fd, bytes);
    if (fd >= 0 && ::close(fd) != 0) Log::f("Posta in uscita: errore alla chiusura di %@", temporary);
    if (!written || !replaceFileWith(temporary, path)) {
        std::error_code ec;
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

std::optional<std::string> Outbox::save(const std::string& message) const {
    if (!ensurePrivateFolder(folder_)) {
        Log::f("Posta in uscita: non riesco a creare la cartella %@", folder_);
        return std::nullopt;
    }
    const std::string path = folder_ + "/" + newFileName();
    if (!writePrivately(path, message)) {
        Log::f("Posta in uscita: non riesco a scrivere %@", path);
        return std::nullopt;
    }
    syncFolder(folder_);
    return path;
}

std::optional<Outbox::Mark> Outbox::markOf(const std::string& file) const {
    std::ifstream in(folder_ + "/" + file + kMarkExtension);
    std::string state, reason;
    if (!in || !std::getline(in, state)) return std::nullopt;
    std::getline(in, reason);
    return Mark{state == kRefused, reason};
}

void Outbox::setMark(const std::string& file, const Mark& mark) const {
    // A reason on one line: the server's answer may hold line breaks.
    std::string reason = mark.reason;
    for (char& c : reason)
        if (c == '\r' || c == '\n') c = ' ';
    if (!writePrivately(folder_ + "/" + file + kMarkExtension, std::string(mark.refused ? kRefused : kWaiting) + "\n" + reason + "\n"))
        Log::f("Posta in uscita: non riesco a segnare lo stato di %@", file);
}

OutboxStatus Outbox::status() const {
    OutboxStatus status;
    fs::file_time_type newest = fs::file_time_type::min();
    for (const std::string& file : messageFiles()) {
        ++status.waiting;
        std::error_code ec;
        const auto written = fs::last_write_time(folder_ + "/" + file + kMarkExtension, ec);
        if (ec || written < newest) continue;
        if (auto mark = markOf(file)) {
            newest = written;
            status.lastFailure = mark->reason;
        }
    }
    return status;
}

std::vector<std::string> Outbox::messageFiles() const {
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file() && it->path().extension() == kExtension) files.push_back(it->path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<OutboxEntry> Outbox::list() const {
    std::vector<OutboxEntry> entries;
    for (const std::string& file : messageFiles()) {
        OutboxEntry entry{file, {}, {}, std::nullopt, false, {}};
        if (auto mark = markOf(file)) {
            entry.refused = mark->refused;
            entry.lastFailure = mark->reason;
        }
        auto bytes = readHeaderBlock(folder_ + "/" + file);
        if (auto envelope = bytes ? MailMessage::read(*bytes) : std::nullopt) {
            entry.to = MailAddress::join(envelope->to);
            entry.subject = envelope->subject;
            entry.codiceOrdine = envelope->codiceOrdine;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<OutboxSendResult> Outbox::sendAll(const SmtpSender& sender, OutboxRun which) const {
    std::vector<OutboxSendResult> results;
    if (!fs::exists(folder_)) return results;
    // flock: the kernel lets go when its holder ends, so a killed sender leaves nothing held.
    SendingLock lock(folder_);
    if (!lock.held()) {
        results.push_back({"", false, "un altro invio della posta in uscita e' in corso", false});
        return results;
    }
    for (const std::string& file : messageFiles()) {
        if (which == OutboxRun::Retry) {
            auto mark = markOf(file);
            if (mark && mark->refused) continue;
        }
        results.push_back(sendOne(sender, file));
    }
    return results;
}

OutboxSendResult Outbox::sendOne(const SmtpSender& sender, const std::string& file) const {
    OutboxSendResult result{file, false, {}};
    const std::string path = folder_ + "/" + file;
    auto bytes = readWholeFile(path);
    auto envelope = bytes ? MailMessage::read(*bytes) : std::nullopt;
    if (!envelope) {
        // Kept, never deleted: it may still be read by a person; no retry can mend it.
        result.reason = "messaggio illeggibile";
        result.refused = true;
        setMark(file, {true, result.reason});
        return result;
    }
    std::vector<std::string> recipients = envelope->to;
    recipients.insert(recipients.end(), envelope->cc.begin(), envelope->cc.end());
    const SmtpResult sent = sender.send(envelope->from, recipients, *bytes);
    if (!sent.sent) {
        result.reason = sent.reason;
        result.refused = sent.permanent;
        setMark(file, {sent.permanent, sent.reason});
        Log::f("Posta in uscita: %@ non inviato: %@", file, sent.reason);
        return result;
    }
    result.sent = true;
    std::error_code ec;
    if (ensurePrivateFolder(sentFolder_)) fs::rename(path, sentFolder_ + "/" + file, ec);
    else ec = std::make_error_code(std::errc::permission_denied);
    if (ec) {
        // Accepted by the server: left as an .eml here it would go again next time.
        result.reason = "inviato, ma non spostato in " + sentFolder_ + ": " + ec.message();
        fs::rename(path, path + ".inviato", ec);
    }
    fs::remove(path + kMarkExtension, ec);
    Log::f("Posta in uscita: %@ inviato", file);
    return result;
}

}  // namespace torvane
