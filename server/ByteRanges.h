#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace torvane::fiera {

struct ByteRange {
    std::uint64_t first = 0, last = 0;  // inclusive
    std::uint64_t length() const { return last - first + 1; }
};

// What a "Range" header asks of a file of a given size. Ranges are checked against the size
// and merged where they overlap or touch; a header that cannot be read, or that still asks for
// more than a few pieces, is answered with the whole file, so an answer never carries more
// bytes than the file has.
class ByteRanges {
public:
    static constexpr std::size_t maxPieces = 8;

    enum class Kind { Whole, Partial, Unsatisfiable };
    struct Selection {
        Kind kind = Kind::Whole;
        std::vector<ByteRange> ranges;  // sorted and apart, when Partial
    };

    static Selection select(std::string_view header, std::uint64_t size);
};

}  // namespace torvane::fiera
