#pragma once

#include <string_view>

#include "platform/Log.h"

namespace torvane::bench {

// Benchmarks time the work, not the log: every line is dropped.
class NullLogSink final : public LogSink {
public:
    void write(std::string_view) override {}
};

}  // namespace torvane::bench
