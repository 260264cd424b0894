// The main job on a machine without a display: scripts/run serves the demonstration company,
// takes an order through the demonstration scripts and ends well, on a fresh folder and again
// on the folder it kept, where the agent is already logged in and the order is the next one.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/Process.h"
#include "support/TempDir.h"

using namespace torvane::test;

namespace {

ProcessResult runDemo(const TempDir& dir, const std::string& option) {
    const std::string bin = std::filesystem::path(TORVANE_CLI_PATH).parent_path().parent_path().string();
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY TORVANE_BIN_DIR='" + bin + "' TORVANE_DEMO_DIR='" +
                                dir.file("demo") + "' '" TORVANE_TEST_SOURCE_DIR "/../scripts/run' " + option;
    return runProcess("/bin/bash", {"-c", command});
}

}  // namespace

TEST(DemoRun, WithoutADisplayEveryRunTakesAndSendsTheNextOrder) {
    TempDir dir;
    auto first = runDemo(dir, "--fresh");
    ASSERT_EQ(first.exitCode, 0) << first.out << first.err;
    EXPECT_NE(first.out.find("ordini ricevuti dal PC Fiera:   1"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("messaggi nella posta in uscita: 1"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("Inviato "), std::string::npos) << "the archive shows it sent";

    auto second = runDemo(dir, "");
    ASSERT_EQ(second.exitCode, 0) << second.out << second.err;
    EXPECT_EQ(second.out.find("login.script"), std::string::npos) << "the agent stays logged in";
    EXPECT_NE(second.out.find("ordini ricevuti dal PC Fiera:   2"), std::string::npos) << second.out;
    EXPECT_NE(second.out.find("Ord.2 "), std::string::npos) << second.out;
}
