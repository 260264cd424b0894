#include "mail/HtmlPreview.h"

#include <libxml/HTMLparser.h>

#include <cstring>
#include <memory>

namespace torvane {

namespace {

bool isBlock(const char* name) {
    static const char* const blocks[] = {"br", "p", "div", "tr", "table", "li", "h1", "h2", "h3", "h4", "h5", "h6", "hr"};
    for (const char* block : blocks)
        if (std::strcmp(name, block) == 0) return true;
    return false;
}

class TextCollector {
public:
    void node(xmlNode* node) {
        for (; node; node = node->next) {
            if (node->type == XML_TEXT_NODE && node->content) {
                words(reinterpret_cast<const char*>(node->content));
            } else if (node->type == XML_ELEMENT_NODE) {
                const char* name = reinterpret_cast<const char*>(node->name);
                if (std::strcmp(name, "script") == 0 || std::strcmp(name, "style") == 0 || std::strcmp(name, "head") == 0)
                    continue;
                const bool block = isBlock(name);
                const bool cell = std::strcmp(name, "td") == 0 || std::strcmp(name, "th") == 0;
                if (block) newline();
                if (cell) blank();
                this->node(node->children);
                if (block) newline();
            }
        }
    }
    std::string text() const {
        std::string out = text_;
        while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
        return out;
    }

private:
    void words(const char* content) {
        for (const char* c = content; *c; ++c) {
            if (*c == ' ' || *c == '\t' || *c == '\n' || *c == '\r') blank();
            else text_ += *c;
        }
    }
    void blank() {
        if (!text_.empty() && text_.back() != ' ' && text_.back() != '\n') text_ += ' ';
    }
    void newline() {
        while (!text_.empty() && text_.back() == ' ') text_.pop_back();
        if (!text_.empty() && text_.back() != '\n') text_ += '\n';
    }
    std::string text_;
};

}  // namespace

std::string HtmlPreview::textOf(const std::string& html) {
    std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc(
        htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8",
                       HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_RECOVER),
        xmlFreeDoc);
    if (!doc) return {};
    TextCollector collector;
    collector.node(xmlDocGetRootElement(doc.get()));
    return collector.text();
}

}  // namespace torvane
