#pragma once

#include <optional>
#include <string>
#include <vector>

namespace torvane::test {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a program with arguments (no shell) and collects its output and exit code.
// With `input` the program reads it as its standard input; otherwise it inherits the test's.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::optional<std::string>& input = std::nullopt);

// A server program running beside the test (no shell): its standard error goes to `logPath`
// (when given), its first line of standard output is read as its banner ("in ascolto su
// ..."). Stopped with SIGTERM when the object goes, SIGKILL after 5 s.
class BackgroundProcess {
public:
    BackgroundProcess(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& logPath = "");
    ~BackgroundProcess() { stop(); }
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    // The first line it printed, waiting up to 10 s; empty when none came.
    const std::string& banner() const { return banner_; }
    // The exit status (-1 when it did not exit by itself within 5 s of SIGTERM).
    int stop();

private:
    int pid_ = 0;
    int out_ = -1;
    int exit_ = -1;
    std::string banner_;
};

}  // namespace torvane::test
