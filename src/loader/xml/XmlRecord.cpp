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

std::vector<XmlRecord> XmlRecord::children() const {
    std::vector<XmlRecord> list;
    if (!node_) return list;
    for (xmlNode* n = node_->children; n; n = n->next)
        if (n->type == XML_ELEMENT_NODE) list.emplace_back(n);
    return list;
}

XmlRecord XmlRecord::firstChild(std::string_view name) const {
    if (!node_) return {};
    for (xmlNode* n = node_->children; n; n = n->next)
        if (n->type == XML_ELEMENT_NODE && sameName(n->name, name)) return XmlRecord(n);
    return {};
}

}  // namespace torvane
