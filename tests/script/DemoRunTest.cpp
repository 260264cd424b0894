// The main job on a machine without a display: scripts/run in a fresh folder serves the
// demonstration company, takes an order through the demonstration script, and ends well.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/Process.h"
#include "support/TempDir.h"

using namespace torvane::test;

TEST(DemoRun, WithoutADisplayTheDemonstrationTakesAndSendsAnOrder) {
    TempDir dir;
    const std::string bin = std::filesystem::path(TORVANE_CLI_PATH).parent_path().parent_path().string();
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY TORVANE_BIN_DIR='" + bin + "' TORVANE_DEMO_DIR='" +
                                dir.file("demo") + "' '" TORVANE_TEST_SOURCE_DIR "/../scripts/run' --fresh";
    auto run = runProcess("/bin/bash", {"-c", command});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("ordini ricevuti dal PC Fiera:   1"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("messaggi nella posta in uscita: 1"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Inviato "), std::string::npos) << "the archive shows it sent";
}
