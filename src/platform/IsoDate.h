#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace torvane {

using Timestamp = std::chrono::system_clock::time_point;

// Dates kept as text (the store, exchanged files) are ISO 8601 in UTC with milliseconds,
// "2026-12-06T10:15:30.123Z": they sort as text in time order.
std::string isoDateString(Timestamp time);
// Reads "YYYY-MM-DDTHH:MM:SS" with optional fraction and "Z" or "+HH:MM"/"-HH:MM"; none
// otherwise (no zone means UTC).
std::optional<Timestamp> parseIsoDate(std::string_view text);

}  // namespace torvane
