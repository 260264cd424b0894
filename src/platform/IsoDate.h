#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace torvane {

using Timestamp = std::chrono::system_clock::time_point;

// Dates kept as text (the store, exchanged files) are ISO 8601 in UTC with milliseconds,
// "2026-12-06T10:15:30.123Z": they sort as text in time order. Finer parts are truncated.
std::string isoDateString(Timestamp time);
// Reads "YYYY-MM-DDTHH:MM:SS" with optional fraction (milliseconds kept, finer digits
// dropped) and "Z" or "+HH:MM"/"-HH:MM"; no zone means UTC. None for anything else,
// including dates that do not exist (31 February) and a blank instead of the "T".
std::optional<Timestamp> parseIsoDate(std::string_view text);

}  // namespace torvane
