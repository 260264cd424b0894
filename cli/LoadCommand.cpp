// `load`: one catalogue run from the command line, as "Caricamento TOTALE" does it, with a
// progress bar on the terminal; prints the alerts the run shows and the closing alert, and
// exits with the run's result.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <mutex>

#include "CommandRegistry.h"
#include "StoreAccess.h"
#include "loader/CaricatoreDatabase.h"
#include "loader/DocumentUrls.h"
#include "loader/LoadResultAlert.h"
#include "loader/ProgressView.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "store/Database.h"

namespace torvane::cli {
namespace {

// Draws "[#####.....]  50%  Step 1 di 1  Caricamento XML ..." on one terminal line (while
// downloading, the bytes received of the total and the speed in place of the activity); redraws
// only when something shown changes, so a large document does not flood a log.
class TerminalProgress final : public ProgressView {
public:
    explicit TerminalProgress(bool terminal) : terminal_(terminal) {}
    ~TerminalProgress() override { finish(); }

    void setLabel1Activity(const std::string& text) override {
        std::lock_guard lock(mutex_);
        label1_ = text;
        draw();
    }
    void setLabel2Activity(const std::string& text) override {
        std::lock_guard lock(mutex_);
        label2_ = text;
        draw();
    }
    void updateProgressBar(float value) override {
        std::lock_guard lock(mutex_);
        int percent = static_cast<int>(std::clamp(value, 0.0f, 1.0f) * 100.0f + 0.5f);
        if (percent == percent_) return;
        percent_ = percent;
        draw();
    }
    // On a terminal every report (the loader sends a few a second); in a log one line per tenth
    // of the document, or per 10 MB when its size is not known.
    void updateDownload(const HttpProgress& progress) override {
        std::lock_guard lock(mutex_);
        const long long step = progress.total ? std::max(1LL, *progress.total / 10) : 10'000'000LL;
        if (!terminal_ && progress.received / step == lastStep_) return;
        lastStep_ = progress.received / step;
        label2_ = ProgressView::downloadText(progress);
        if (progress.total && *progress.total > 0)
            percent_ = static_cast<int>(std::min(100LL, progress.received * 100 / *progress.total));
        draw();
    }
    void finish() {
        std::lock_guard lock(mutex_);
        if (drawn_) std::cerr << '\n';
        drawn_ = false;
    }

private:
    void draw() {
        constexpr int width = 30;
        int filled = percent_ * width / 100;
        std::string line = "[" + std::string(filled, '#') + std::string(width - filled, '.') + "] ";
        char percent[8];
        std::snprintf(percent, sizeof percent, "%3d%%", percent_);
        line += percent;
        line += "  " + label1_ + "  " + label2_;
        if (terminal_) {
            std::cerr << "\r\033[K" << line << std::flush;
        } else {
            std::cerr << line << '\n';
        }
        drawn_ = terminal_;
    }

    bool terminal_;
    std::mutex mutex_;
    std::string label1_, label2_;
    int percent_ = 0;
    long long lastStep_ = -1;
    bool drawn_ = false;
};

void printAlert(const ui::Alert& alert) {
    if (alert.title) std::cout << *alert.title << '\n';
    std::cout << alert.message << '\n';
}

// The whole of a regular file, read into one buffer of its size; none when it is a folder or
// cannot be read to its end.
std::optional<std::string> readWholeFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::nullopt;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return std::nullopt;
    std::string bytes;
    auto size = std::filesystem::file_size(path, ec);
    if (!ec) bytes.reserve(size);
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, n);
    if (std::ferror(file.get())) return std::nullopt;
    return bytes;
}

constexpr const char* kUsage =
    "  load [--company C] [--url URL | --file PATH] [--pause-ms MS] [--verbose]\n"
    "                               carica il catalogo (dalle preferenze, da un URL o da un file)\n";

// Longest pause after a download: ten minutes.
constexpr long long kMaxPauseMs = 600000;

int runLoad(CommandLine& line) {
    auto url = line.takeOption("--url");
    auto file = line.takeOption("--file");
    auto pause = line.takeNumber("--pause-ms", 0, kMaxPauseMs);
    bool verbose = line.takeFlag("--verbose");
    auto company = takeCompany(line);
    if (auto problem = line.leftOver()) return CommandLine::usageError("load: " + *problem, kUsage);
    if (url && file) return CommandLine::usageError("load: --url e --file non vanno insieme", kUsage);
    std::optional<std::string> bytes;
    if (file) {
        bytes = readWholeFile(*file);
        if (!bytes) {
            std::cerr << "load: non riesco a leggere " << *file << '\n';
            return 2;
        }
    }
    auto db = openSharedStore(company, StoreUse::Writing);
    if (!db) return 2;
    // The run's log lines go to a file beside the stores unless asked for on the terminal.
    if (!verbose) Log::setSink(std::make_shared<FileLogSink>(Paths::ensure(Paths::documents()) + "/Caricamento.log"));

    CaricatoreDatabase loader;
    loader.setDatabase(db);
    loader.setAlertPresenter(printAlert);
    // A local file needs no pause after its "download".
    if (pause || file) loader.setPauseAfterDownload(std::chrono::milliseconds(pause.value_or(0)));
    TerminalProgress progress(isatty(STDERR_FILENO));
    if (file) {
        std::string name = std::filesystem::path(*file).filename().string();
        // The one copy of the document moves into the "download": a large catalogue is held once.
        loader.downloadDocuments({{*file, name, [&bytes] {
                                     HttpResponse read;
                                     read.data = std::move(bytes);
                                     read.status = 200;
                                     return read;
                                 }}},
                                 &progress);
    } else if (url) {
        loader.downloadDocuments({CaricatoreDatabase::urlSource(*url)}, &progress);
    } else {
        loader.downloadWithProgressView(&progress);
    }
    progress.finish();
    if (auto alert = LoadResultAlert::forLoader(loader)) printAlert(*alert);
    return loader.result();
}

const CommandRegistration registration("load", kUsage, runLoad);

}  // namespace
}  // namespace torvane::cli
