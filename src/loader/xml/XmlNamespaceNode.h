#pragma once

#include <memory>
#include <string>

#include "loader/xml/XmlNode.h"

namespace torvane {

// A namespace declaration in scope on an element. libxml2 keeps namespaces outside its node
// tree, so this wrapper holds the prefix and URI itself and wraps no libxml2 node.
class XmlNamespaceNode final : public XmlNode {
public:
    XmlNamespaceNode(std::string prefix, std::string uri, XmlElement* parent);

    // A declaration not attached to any element, to hand to XmlElement::addNamespace.
    static std::unique_ptr<XmlNamespaceNode> namespaceWithName(const std::string& prefix,
                                                               const std::string& uri);

    XmlNodeKind kind() const override { return XmlNodeKind::Namespace; }
    bool isValid() const override { return true; }
    std::string name() const override { return prefix_; }
    std::string localName() const override { return prefix_; }
    std::string prefix() const override { return prefix_; }
    std::string URI() const override { return uri_; }
    std::string stringValue() const override { return uri_; }
    void setStringValue(const std::string&) override {}

    std::vector<XmlNode*> children() const override { return {}; }
    std::size_t childCount() const override { return 0; }
    XmlNode* childAtIndex(std::size_t) const override { return nullptr; }
    XmlNode* previousSibling() const override { return nullptr; }
    XmlNode* nextSibling() const override { return nullptr; }
    XmlNode* parent() const override;
    XmlDocument* rootDocument() const override;
    std::size_t index() const override { return 0; }
    std::size_t level() const override;

    // The declaration as written in a start tag: xmlns:p="uri", or xmlns="uri".
    std::string XMLString() const override;
    std::string description() const override;

private:
    friend class XmlNodePool;

    std::string prefix_;
    std::string uri_;
    XmlElement* parent_;
};

}  // namespace torvane
