#include "ByteRanges.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace torvane::fiera {

namespace {

constexpr std::size_t kMostRangesRead = 1000;  // past that the header is not worth reading

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Digits only; a number too large for 64 bits becomes the largest one (it is past any file).
std::optional<std::uint64_t> number(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
            value = std::numeric_limits<std::uint64_t>::max();
        else
            value = value * 10 + digit;
    }
    return value;
}

bool startsWithBytesUnit(std::string_view header) {
    if (header.size() < 6 || header[5] != '=') return false;
    for (std::size_t i = 0; i < 5; ++i)
        if ((header[i] | 0x20) != "bytes"[i]) return false;
    return true;
}

}  // namespace

ByteRanges::Selection ByteRanges::select(std::string_view header, std::uint64_t size) {
    if (!startsWithBytesUnit(header)) return {};
    std::string_view rest = header.substr(6);
    std::vector<ByteRange> wanted;
    std::size_t counted = 0;
    while (true) {
        const std::size_t comma = rest.find(',');
        const std::string_view asked = trimmed(rest.substr(0, comma));
        if (++counted > kMostRangesRead) return {};
        const std::size_t dash = asked.find('-');
        if (dash == std::string_view::npos) return {};
        const std::optional<std::uint64_t> from = number(asked.substr(0, dash));
        const std::optional<std::uint64_t> to = number(asked.substr(dash + 1));
        if (from) {
            if (asked.size() > dash + 1 && !to) return {};
            if (to && *to < *from) return {};
            if (*from < size) wanted.push_back({*from, to ? std::min(*to, size - 1) : size - 1});
        } else {
            if (dash != 0 || !to) return {};
            if (*to > 0 && size > 0) wanted.push_back({size > *to ? size - *to : 0, size - 1});
        }
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    if (wanted.empty()) return {Kind::Unsatisfiable, {}};
    std::sort(wanted.begin(), wanted.end(), [](const ByteRange& a, const ByteRange& b) { return a.first < b.first; });
    std::vector<ByteRange> merged{wanted.front()};
    for (const ByteRange& r : wanted) {
        if (r.first <= merged.back().last + 1) merged.back().last = std::max(merged.back().last, r.last);
        else merged.push_back(r);
    }
    if (merged.size() > maxPieces) return {};
    return {Kind::Partial, std::move(merged)};
}

}  // namespace torvane::fiera
