#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace torvane::test {

// The real torvane-fiera on a free loopback port, serving a folder of its own; its log goes
// to a file the test reads. Stopped with SIGTERM when the test ends.
class FairProcess {
public:
    explicit FairProcess(const std::string& dir, const std::vector<std::string>& more = {}, const std::string& log = "")
        : log_(log.empty() ? dir + "/../fiera.log" : log) {
        int out[2];
        if (pipe(out) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            const int err = open(log_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            if (err >= 0) dup2(err, 2);
            close(out[0]), close(out[1]);
            std::vector<std::string> words{TORVANE_FIERA_PATH, "--dir", dir, "--port", "0"};
            words.insert(words.end(), more.begin(), more.end());
            std::vector<char*> argv;
            for (std::string& w : words) argv.push_back(w.data());
            argv.push_back(nullptr);
            execv(TORVANE_FIERA_PATH, argv.data());
            _exit(127);
        }
        close(out[1]);
        out_ = out[0];
        // The first line says where it listens: "in ascolto su http://127.0.0.1:PORT".
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char c[256];
            const ssize_t got = read(out_, c, sizeof c);
            if (got <= 0) break;
            line.append(c, static_cast<size_t>(got));
        }
        banner_ = line.substr(0, line.find('\n'));
        const std::string prefix = "in ascolto su http://127.0.0.1:";
        if (banner_.rfind(prefix, 0) != 0) throw std::runtime_error("torvane-fiera did not start: " + banner_);
        port_ = std::stoi(banner_.substr(prefix.size()));
    }
    ~FairProcess() { stop(); }

    int port() const { return port_; }
    const std::string& banner() const { return banner_; }
    std::string log() const { return readFile(log_); }
    // A request's line is written after its answer went out: waits for it a little.
    bool logHas(const std::string& text) const {
        for (int i = 0; i < 200; ++i, usleep(10000))
            if (log().find(text) != std::string::npos) return true;
        return false;
    }
    // SIGTERM, then the exit status (-1 when it did not exit by itself within 5 s).
    int stop() {
        if (pid_ <= 0) return exit_;
        kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 500 && waitpid(pid_, &status, WNOHANG) != pid_; ++i) usleep(10000);
        exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (kill(pid_, 0) == 0) kill(pid_, SIGKILL), waitpid(pid_, &status, 0), exit_ = -1;
        close(out_);
        pid_ = 0;
        return exit_;
    }

private:
    std::string log_;
    pid_t pid_ = 0;
    int out_ = -1;
    int port_ = 0;
    int exit_ = -1;
    std::string banner_;
};

}  // namespace torvane::test
