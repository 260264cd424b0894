#include <gtest/gtest.h>

#include "platform/Log.h"

// Tests keep stderr quiet: log lines go to a capture sink unless a test installs its own.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    torvane::Log::useCapture();
    return RUN_ALL_TESTS();
}
