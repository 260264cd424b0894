#pragma once

#include <chrono>
#include <functional>

#include "support/FakeUi.h"

namespace torvane::test {

// Runs the main-thread queue until `done` holds, waiting (really) for reader threads to post.
inline bool pumpUntil(FakeUi& ui, const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        ui.drainMain();
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        ui.waitForTask(std::chrono::milliseconds(20));
    }
}

}  // namespace torvane::test
