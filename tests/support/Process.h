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

}  // namespace torvane::test
