#pragma once

#include <cstddef>
#include <string>

namespace torvane::fiera {

// Watches an XML document's bytes, as they are handed to the parser, for a start tag with
// more attributes than any order has. The XML library checks each attribute of a tag against
// all those before it: one element with 100,000 attributes (a megabyte) costs it many
// seconds, and it has no option to limit them, so the bytes are refused before it sees them.
// Comments, CDATA sections and processing instructions are skipped; quoted values are
// skipped whatever they hold.
class AttributeLimit {
public:
    static constexpr int maxAttributes = 64;  // an order's elements carry one or two

    // False once a tag has gone past the limit (and from then on).
    bool accept(const char* data, std::size_t size);

private:
    void step(char c);
    // Takes `c` into the last bytes seen; true when they end with `end` (at most 3 bytes).
    bool closes(char c, const char* end);

    enum class State { Text, Open, Markup, Comment, CData, Instruction, EndTag, StartTag, Quoted };
    State state_ = State::Text;
    std::string seen_;  // after "<!"
    char tail_[3] = {};  // the last bytes of a comment, CDATA section or instruction
    char quote_ = 0;
    int attributes_ = 0;
    bool refused_ = false;
};

}  // namespace torvane::fiera
