#include "support/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>

namespace torvane::test {

namespace {
[[noreturn]] void exec(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
}
}  // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::optional<std::string>& input) {
    ProcessResult result;
    // The input goes through an unnamed file: a pipe would fill up before the child reads.
    std::FILE* inputFile = nullptr;
    if (input) {
        inputFile = std::tmpfile();
        if (!inputFile) return result;
        std::fwrite(input->data(), 1, input->size(), inputFile);
        std::fflush(inputFile);
        std::rewind(inputFile);
    }
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return result;
    pid_t child = fork();
    if (child == 0) {
        if (inputFile) dup2(fileno(inputFile), 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        close(outPipe[0]), close(outPipe[1]), close(errPipe[0]), close(errPipe[1]);
        exec(program, arguments);
    }
    close(outPipe[1]), close(errPipe[1]);
    if (inputFile) std::fclose(inputFile);
    std::array<pollfd, 2> fds{{{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}}};
    std::array<std::string*, 2> sinks{&result.out, &result.err};
    int open = 2;
    while (open > 0 && poll(fds.data(), fds.size(), -1) > 0) {
        for (size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
            char buffer[4096];
            ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(got));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

BackgroundProcess::BackgroundProcess(const std::string& program, const std::vector<std::string>& arguments,
                                     const std::string& logPath) {
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], 1);
        if (!logPath.empty()) {
            const int err = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            if (err >= 0) dup2(err, 2);
        }
        close(out[0]), close(out[1]);
        exec(program, arguments);
    }
    close(out[1]);
    out_ = out[0];
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
}

int BackgroundProcess::stop() {
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

}  // namespace torvane::test
