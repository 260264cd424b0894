#include "loader/xml/XmlRecord.h"

#include <libxml/tree.h>

namespace torvane {

namespace {

void appendText(const xmlNode* first, std::string& out) {
    for (const xmlNode* n = first; n; n = n->next) {
        switch (n->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (n->content) out.append(reinterpret_cast<const char*>(n->content));
            break;
        case XML_ELEMENT_NODE:
            appendText(n->children, out);
            break;
        default:  // entity references, comments, processing instructions
            break;
        }
    }
}

// The node itself or the first element after it among its siblings.
xmlNode* firstElement(xmlNode* node) {
    while (node && node->type != XML_ELEMENT_NODE) node = node->next;
    return node;
}

bool sameName(const xmlChar* a, std::string_view b) {
    return a && std::string_view(reinterpret_cast<const char*>(a)) == b;
}

}  // namespace

std::string_view XmlRecord::name() const {
    if (!node_ || !node_->name) return {};
    return reinterpret_cast<const char*>(node_->name);
}

std::optional<std::string> XmlRecord::attribute(std::string_view name) const {
    if (!node_ || node_->type != XML_ELEMENT_NODE) return std::nullopt;
    for (const xmlAttr* a = node_->properties; a; a = a->next) {
        if (!sameName(a->name, name)) continue;
        std::string value;
        appendText(a->children, value);
        return value;
    }
    return std::nullopt;
}

std::string XmlRecord::text() const {
    std::string value;
    if (node_) appendText(node_->children, value);
    return value;
}

XmlRecord::Children XmlRecord::children() const {
    return Children(node_ ? firstElement(node_->children) : nullptr);
}

XmlRecord::Children::iterator& XmlRecord::Children::iterator::operator++() {
    node_ = firstElement(node_->next);
    return *this;
}

std::size_t XmlRecord::Children::size() const {
    std::size_t n = 0;
    for (auto it = begin(); it != end(); ++it) ++n;
    return n;
}

XmlRecord XmlRecord::firstChild(std::string_view name) const {
    if (!node_) return {};
    for (xmlNode* n = node_->children; n; n = n->next)
        if (n->type == XML_ELEMENT_NODE && sameName(n->name, name)) return XmlRecord(n);
    return {};
}

}  // namespace torvane
