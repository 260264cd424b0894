// `load`: one catalogue run from the command line, as "Caricamento TOTALE" does it, with a
// progress bar on the terminal; prints the alerts the run shows and the closing alert, and
// exits with the run's result.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
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

// Draws "[#####.....]  50%  Step 1 di 1  Caricamento XML ..." on one terminal line; redraws
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
    bool drawn_ = false;
};

void printAlert(const ui::Alert& alert) {
    if (alert.title) std::cout << *alert.title << '\n';
    std::cout << alert.message << '\n';
}

int runLoad(CommandLine& line) {
    auto url = line.takeOption("--url");
    auto file = line.takeOption("--file");
    auto pause = line.takeOption("--pause-ms");
    bool verbose = false;
    for (auto it = line.words().begin() + 1; it != line.words().end(); ++it) verbose = verbose || *it == "--verbose";
    auto db = openSharedStore(line);
    if (line.error()) {
        std::cerr << *line.error() << '\n';
        return 2;
    }
    if (url && file) {
        std::cerr << "load: --url e --file non vanno insieme\n";
        return 2;
    }
    if (!db) return 2;
    // The run's log lines go to a file beside the stores unless asked for on the terminal.
    if (!verbose) Log::setSink(std::make_shared<FileLogSink>(Paths::ensure(Paths::documents()) + "/Caricamento.log"));

    CaricatoreDatabase loader;
    loader.setAlertPresenter(printAlert);
    if (pause) loader.setPauseAfterDownload(std::chrono::milliseconds(std::atoll(pause->c_str())));
    TerminalProgress progress(isatty(STDERR_FILENO));
    if (file) {
        std::ifstream in(*file, std::ios::binary);
        if (!in) {
            std::cerr << "load: non riesco a leggere " << *file << '\n';
            return 2;
        }
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        loader.setPauseAfterDownload(std::chrono::milliseconds(pause ? std::atoll(pause->c_str()) : 0));
        std::string name = std::filesystem::path(*file).filename().string();
        loader.downloadDocuments({{*file, name, [bytes] { return HttpResponse{bytes, 200, {}}; }}}, &progress);
    } else if (url) {
        loader.downloadDocuments({CaricatoreDatabase::urlSource(*url)}, &progress);
    } else {
        loader.downloadWithProgressView(&progress);
    }
    progress.finish();
    if (auto alert = LoadResultAlert::forLoader(loader)) printAlert(*alert);
    return loader.result();
}

const CommandRegistration registration(
    "load",
    "  load [--company C] [--url URL | --file PATH] [--pause-ms MS] [--verbose]\n"
    "                               carica il catalogo (dalle preferenze, da un URL o da un file)\n",
    runLoad);

}  // namespace
}  // namespace torvane::cli
