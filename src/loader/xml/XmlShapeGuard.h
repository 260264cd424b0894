#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace torvane {

// A quick pass over the raw bytes that refuses absurd shapes before libxml2 reads them:
// libxml2 compares every attribute of an element with every other one, so one element with
// 100,000 attributes costs minutes, and it allows deeper nesting than any catalogue needs.
// The limits are far above any real document. It only measures: what it lets through is
// parsed, and judged well-formed or not, by libxml2.
class XmlShapeGuard {
public:
    static constexpr std::size_t maxAttributes = 1000;
    static constexpr int maxDepth = 64;
    static constexpr std::size_t maxTextLength = 10 * 1000 * 1000;

    // Upper bounds of what a parse of the document can meet, so that whoever keeps its content
    // can reserve the room at once.
    struct Shape {
        std::size_t elements = 0;
        std::size_t attributes = 0;
        std::size_t textBytes = 0;       // outside markup, CDATA included
        std::size_t attributeBytes = 0;  // inside quotes in start tags
    };
    // The problem found, or none when the shape is acceptable; `shape`, when given, is filled.
    static std::optional<std::string> check(std::string_view data, Shape* shape = nullptr);
};

}  // namespace torvane
