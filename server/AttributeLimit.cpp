#include "AttributeLimit.h"

namespace torvane::fiera {

namespace {

bool endsWith(const std::string& text, const char* end) {
    const std::string tail(end);
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The last bytes of a section, enough to see its end.
void keepTail(std::string& seen, char c) {
    seen += c;
    if (seen.size() > 3) seen.erase(0, seen.size() - 3);
}

}  // namespace

bool AttributeLimit::accept(const char* data, std::size_t size) {
    for (std::size_t i = 0; i < size && !refused_; ++i) {
        const char c = data[i];
        switch (state_) {
        case State::Text:
            if (c == '<') state_ = State::Open;
            break;
        case State::Open:
            seen_.clear();
            if (c == '!') state_ = State::Markup;
            else if (c == '?') state_ = State::Instruction;
            else if (c == '/') state_ = State::EndTag;
            else state_ = State::StartTag, attributes_ = 0;
            break;
        case State::Markup: {
            seen_ += c;
            const std::string comment = "--", cdata = "[CDATA[";
            if (seen_ == comment) state_ = State::Comment, seen_.clear();
            else if (seen_ == cdata) state_ = State::CData, seen_.clear();
            else if (comment.rfind(seen_, 0) != 0 && cdata.rfind(seen_, 0) != 0)
                state_ = c == '>' ? State::Text : State::EndTag;  // a declaration: read to its end
            break;
        }
        case State::Comment:
            keepTail(seen_, c);
            if (endsWith(seen_, "-->")) state_ = State::Text;
            break;
        case State::CData:
            keepTail(seen_, c);
            if (endsWith(seen_, "]]>")) state_ = State::Text;
            break;
        case State::Instruction:
            keepTail(seen_, c);
            if (endsWith(seen_, "?>")) state_ = State::Text;
            break;
        case State::EndTag:
            if (c == '>') state_ = State::Text;
            break;
        case State::StartTag:
            if (c == '"' || c == '\'') quote_ = c, state_ = State::Quoted;
            else if (c == '>') state_ = State::Text;
            else if (c == '=' && ++attributes_ > maxAttributes) refused_ = true;
            break;
        case State::Quoted:
            if (c == quote_) state_ = State::StartTag;
            break;
        }
    }
    return !refused_;
}

}  // namespace torvane::fiera
