#include "loader/xml/XmlShapeGuard.h"

namespace torvane {

namespace {

class Scanner {
public:
    explicit Scanner(std::string_view data) : data_(data) {}
    XmlShapeGuard::Shape shape;

    std::optional<std::string> run() {
        while (at_ < data_.size()) {
            std::size_t open = data_.find('<', at_);
            std::size_t textEnd = open == std::string_view::npos ? data_.size() : open;
            if (textEnd - at_ > XmlShapeGuard::maxTextLength) return "Text node too long";
            shape.textBytes += textEnd - at_;
            if (open == std::string_view::npos) break;
            at_ = open;
            if (auto problem = markup()) return problem;
        }
        return std::nullopt;
    }

private:
    bool startsWith(std::string_view prefix) const { return data_.substr(at_, prefix.size()) == prefix; }

    // Moves past the next `end`, or to the end of the data when there is none.
    void skipPast(std::string_view end) {
        std::size_t found = data_.find(end, at_);
        at_ = found == std::string_view::npos ? data_.size() : found + end.size();
    }

    void skipQuoted() {
        char quote = data_[at_++];
        std::size_t close = data_.find(quote, at_);
        at_ = close == std::string_view::npos ? data_.size() : close + 1;
    }

    std::optional<std::string> markup() {
        if (startsWith("<!--")) {
            skipPast("-->");
        } else if (startsWith("<![CDATA[")) {
            std::size_t start = at_;
            skipPast("]]>");
            if (at_ - start > XmlShapeGuard::maxTextLength) return "Text node too long";
            shape.textBytes += at_ - start;
        } else if (startsWith("<?")) {
            skipPast("?>");
        } else if (startsWith("<!")) {
            declaration();
        } else if (startsWith("</")) {
            --depth_;
            skipPast(">");
        } else {
            return startTag();
        }
        return std::nullopt;
    }

    // A document type declaration: its internal subset may hold quoted texts, comments and
    // processing instructions with any character in them.
    void declaration() {
        int brackets = 0;
        at_ += 2;
        while (at_ < data_.size()) {
            char c = data_[at_];
            if (c == '"' || c == '\'') {
                skipQuoted();
            } else if (startsWith("<!--")) {
                skipPast("-->");
            } else if (startsWith("<?")) {
                skipPast("?>");
            } else {
                ++at_;
                if (c == '[') ++brackets;
                if (c == ']') --brackets;
                if (c == '>' && brackets <= 0) return;
            }
        }
    }

    // Every attribute has one "=" outside the quoted values.
    std::optional<std::string> startTag() {
        std::size_t attributes = 0;
        char previous = 0;
        ++at_;
        ++shape.elements;
        while (at_ < data_.size()) {
            char c = data_[at_];
            if (c == '"' || c == '\'') {
                std::size_t start = at_;
                skipQuoted();
                shape.attributeBytes += at_ - start;
                previous = c;
                continue;
            }
            ++at_;
            if (c == '=' && ++attributes > XmlShapeGuard::maxAttributes) return "Too many attributes on one element";
            if (c == '=') ++shape.attributes;
            if (c == '>') break;
            previous = c;
        }
        if (previous != '/' && ++depth_ > XmlShapeGuard::maxDepth) return "Elements nested too deeply";
        return std::nullopt;
    }

    std::string_view data_;
    std::size_t at_ = 0;
    int depth_ = 0;
};

}  // namespace

std::optional<std::string> XmlShapeGuard::check(std::string_view data, Shape* shape) {
    Scanner scanner(data);
    auto problem = scanner.run();
    if (shape) *shape = scanner.shape;
    return problem;
}

}  // namespace torvane
