#pragma once

#include <string>
#include <vector>

namespace torvane::test {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a program with arguments (no shell) and collects its output and exit code.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace torvane::test
