#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace torvane::bench {

// A torvane-fiera started for a benchmark on a free loopback port, its request lines dropped.
struct FairServerProcess {
    pid_t pid = 0;
    int port = 0;  // 0: it did not start

    static FairServerProcess start(const std::string& program, const std::string& dir,
                                   const std::vector<std::string>& more = {}) {
        int out[2];
        if (pipe(out) != 0) return {};
        std::vector<std::string> words{program, "--dir", dir, "--port", "0"};
        words.insert(words.end(), more.begin(), more.end());
        const pid_t pid = fork();
        if (pid == 0) {
            dup2(out[1], 1);
            close(out[0]), close(out[1]);
            std::freopen("/dev/null", "w", stderr);  // its request lines
            std::vector<char*> argv;
            for (std::string& word : words) argv.push_back(word.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(out[1]);
        std::string line;
        char c;
        pollfd p{out[0], POLLIN, 0};
        while (line.find('\n') == std::string::npos && poll(&p, 1, 10000) > 0 && read(out[0], &c, 1) == 1) line += c;
        close(out[0]);
        const std::string prefix = "in ascolto su http://127.0.0.1:";
        if (line.rfind(prefix, 0) != 0) return {pid, 0};
        return {pid, std::stoi(line.substr(prefix.size()))};
    }

    // SIGTERM, then its exit status (-1 when it did not exit normally).
    int stop() const {
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

}  // namespace torvane::bench
