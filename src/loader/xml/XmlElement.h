#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "loader/xml/XmlNode.h"

namespace torvane {

class XmlNamespaceNode;

// An element node.
class XmlElement final : public XmlNode {
public:
    // Detached elements: each owns its libxml2 node (and what is added below it) until it is
    // added to another element or becomes a document's root.
    static std::unique_ptr<XmlElement> elementWithName(const std::string& name);
    static std::unique_ptr<XmlElement> elementWithName(const std::string& name,
                                                       const std::string& stringValue);
    // "p:local" declares prefix p on the element, a plain name the default namespace.
    static std::unique_ptr<XmlElement> elementWithNameAndURI(const std::string& name,
                                                             const std::string& uri);

    // Direct child elements whose name is `name` (byte comparison), in order.
    std::vector<XmlElement*> elementsForName(std::string_view name) const;
    std::vector<XmlElement*> elementsForLocalName(std::string_view localName,
                                                  std::string_view uri) const;

    std::vector<XmlNode*> attributes() const;
    // "prefix:local" matches the attribute `local` in the namespace bound to `prefix`; a plain
    // name matches the first attribute of that name. Null when missing.
    XmlNode* attributeForName(std::string_view name) const;
    // The value of attributeForName, none when the attribute is missing.
    std::optional<std::string> attributeValue(std::string_view name) const;
    XmlNode* attributeForLocalName(std::string_view localName, std::string_view uri) const;

    // One node per declaration on this element; prefix "" for the default namespace.
    std::vector<XmlNamespaceNode*> namespaces() const;
    // The declaration in scope for `prefix` ("" = default namespace), null when unbound.
    XmlNamespaceNode* namespaceForPrefix(std::string_view prefix) const;
    // The namespace of a qualified name: its prefix's, or the default one for a plain name.
    XmlNamespaceNode* resolveNamespaceForName(std::string_view name) const;
    std::optional<std::string> resolvePrefixForNamespaceURI(std::string_view uri) const;
    // "xml", "xs", "xsi", "xmlns" with their standard namespace names; null for others.
    static const XmlNamespaceNode* predefinedNamespaceForPrefix(std::string_view prefix);

    // Construction. The child must be a detached node made by a construction operation
    // (element or processing instruction); anything else is refused with null and freed.
    XmlNode* addChild(std::unique_ptr<XmlNode> child);
    XmlNode* insertChild(std::unique_ptr<XmlNode> child, std::size_t index);
    // Declares the namespace on this element; null when the prefix is already declared here.
    XmlNamespaceNode* addNamespace(const XmlNamespaceNode& ns);
    // Appends a new child element and returns it.
    XmlElement* subelement(const std::string& name);

private:
    friend class XmlNode;
    XmlElement(_xmlNode* node, bool ownsNode);
};

}  // namespace torvane
