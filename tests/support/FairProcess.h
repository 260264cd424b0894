#pragma once

#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/Process.h"
#include "support/TempDir.h"

namespace torvane::test {

// The real torvane-fiera on a free loopback port, serving a folder of its own; its log goes
// to a file the test reads. Stopped with SIGTERM when the test ends.
class FairProcess {
public:
    explicit FairProcess(const std::string& dir, const std::vector<std::string>& more = {}, const std::string& log = "")
        : log_(log.empty() ? dir + "/../fiera.log" : log), process_(TORVANE_FIERA_PATH, arguments(dir, more), log_) {
        // The first line says where it listens: "in ascolto su http://127.0.0.1:PORT".
        const std::string prefix = "in ascolto su http://127.0.0.1:";
        if (banner().rfind(prefix, 0) != 0) throw std::runtime_error("torvane-fiera did not start: " + banner());
        port_ = std::stoi(banner().substr(prefix.size()));
    }

    int port() const { return port_; }
    const std::string& banner() const { return process_.banner(); }
    std::string log() const { return readFile(log_); }
    // A request's line is written after its answer went out: waits for it a little.
    bool logHas(const std::string& text) const {
        for (int i = 0; i < 200; ++i, usleep(10000))
            if (log().find(text) != std::string::npos) return true;
        return false;
    }
    // SIGTERM, then the exit status (-1 when it did not exit by itself within 5 s).
    int stop() { return process_.stop(); }

private:
    static std::vector<std::string> arguments(const std::string& dir, const std::vector<std::string>& more) {
        std::vector<std::string> words{"--dir", dir, "--port", "0"};
        words.insert(words.end(), more.begin(), more.end());
        return words;
    }

    std::string log_;
    BackgroundProcess process_;
    int port_ = 0;
};

}  // namespace torvane::test
