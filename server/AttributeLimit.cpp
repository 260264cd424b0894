#include "AttributeLimit.h"

#include <cstring>

namespace torvane::fiera {

bool AttributeLimit::accept(const char* data, std::size_t size) {
    // Where most bytes are (text, values, end tags) the next one that matters is looked for.
    auto skipTo = [&](std::size_t from, char wanted, State next) {
        const void* found = std::memchr(data + from, wanted, size - from);
        if (!found) return size;
        state_ = next;
        return static_cast<std::size_t>(static_cast<const char*>(found) - data) + 1;
    };
    for (std::size_t i = 0; i < size && !refused_;) {
        if (state_ == State::Text) i = skipTo(i, '<', State::Open);
        else if (state_ == State::Quoted) i = skipTo(i, quote_, State::StartTag);
        else if (state_ == State::EndTag) i = skipTo(i, '>', State::Text);
        else step(data[i++]);
    }
    return !refused_;
}

bool AttributeLimit::closes(char c, const char* end) {
    tail_[0] = tail_[1], tail_[1] = tail_[2], tail_[2] = c;
    const std::size_t length = std::strlen(end);
    return std::memcmp(tail_ + 3 - length, end, length) == 0;
}

void AttributeLimit::step(char c) {
    switch (state_) {
    case State::Text:
        if (c == '<') state_ = State::Open;
        break;
    case State::Open:
        seen_.clear();
        tail_[0] = tail_[1] = tail_[2] = 0;
        if (c == '!') state_ = State::Markup;
        else if (c == '?') state_ = State::Instruction;
        else if (c == '/') state_ = State::EndTag;
        else state_ = State::StartTag, attributes_ = 0;
        break;
    case State::Markup: {
        seen_ += c;
        const std::string comment = "--", cdata = "[CDATA[";
        if (seen_ == comment) state_ = State::Comment, tail_[0] = tail_[1] = tail_[2] = 0;
        else if (seen_ == cdata) state_ = State::CData, tail_[0] = tail_[1] = tail_[2] = 0;
        else if (comment.rfind(seen_, 0) != 0 && cdata.rfind(seen_, 0) != 0)
            state_ = c == '>' ? State::Text : State::EndTag;  // a declaration: read to its end
        break;
    }
    case State::Comment:
        if (closes(c, "-->")) state_ = State::Text;
        break;
    case State::CData:
        if (closes(c, "]]>")) state_ = State::Text;
        break;
    case State::Instruction:
        if (closes(c, "?>")) state_ = State::Text;
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

}  // namespace torvane::fiera
