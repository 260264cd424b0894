#include "loader/xml/XmlNamespaceNode.h"

#include "loader/xml/XmlElement.h"
#include "platform/Format.h"

namespace torvane {

namespace {

// Namespace URIs are written as attribute values: the few characters that need it escaped.
std::string escapeAttribute(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace

XmlNamespaceNode::XmlNamespaceNode(std::string prefix, std::string uri, XmlElement* parent)
    : XmlNode(nullptr, false), prefix_(std::move(prefix)), uri_(std::move(uri)), parent_(parent) {}

std::unique_ptr<XmlNamespaceNode> XmlNamespaceNode::namespaceWithName(const std::string& prefix,
                                                                      const std::string& uri) {
    return std::make_unique<XmlNamespaceNode>(prefix, uri, nullptr);
}

XmlNode* XmlNamespaceNode::parent() const {
    return parent_;
}

XmlDocument* XmlNamespaceNode::rootDocument() const {
    return parent_ ? parent_->rootDocument() : nullptr;
}

std::size_t XmlNamespaceNode::level() const {
    return parent_ ? parent_->level() + 1 : 0;
}

std::string XmlNamespaceNode::XMLString() const {
    std::string attribute = prefix_.empty() ? "xmlns" : "xmlns:" + prefix_;
    return attribute + "=\"" + escapeAttribute(uri_) + "\"";
}

std::string XmlNamespaceNode::description() const {
    return format("<XmlNamespaceNode \"%@\" = \"%@\">", prefix_, uri_);
}

}  // namespace torvane
