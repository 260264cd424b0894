#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/Process.h"
#include "support/TempDir.h"

namespace torvane::test {

// The real torvane-cli on an empty data folder of the test's own.
struct CliData : ::testing::Test {
    TempDir dir;
    std::string data = dir.file("data");

    void defaults(std::vector<std::string> words) {
        words.insert(words.begin(), {"defaults", "write"});
        ASSERT_EQ(cli(words).exitCode, 0);
    }
    ProcessResult cli(std::vector<std::string> words, const std::optional<std::string>& input = std::nullopt) {
        words.insert(words.begin(), {"--data-dir", data});
        return runProcess(TORVANE_CLI_PATH, words, input);
    }
};

// The same with the test catalogue loaded for company 01 and the agent AG01.
struct CliFolder : CliData {
    void SetUp() override {
        defaults({"pref_agente", "AG01;"});
        auto load = cli({"load", "--company", "01", "--file", TORVANE_TEST_SOURCE_DIR "/script/catalogo.xml"});
        ASSERT_EQ(load.exitCode, 0) << load.out << load.err;
    }
};

}  // namespace torvane::test
