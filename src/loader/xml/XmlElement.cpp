#include "loader/xml/XmlElement.h"

#include <libxml/tree.h>

#include <array>

#include "loader/xml/XmlLibxml.h"
#include "loader/xml/XmlNamespaceNode.h"
#include "loader/xml/XmlNodePool.h"

namespace torvane {

namespace {

constexpr const char* kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

std::pair<std::string, std::string> splitQualified(std::string_view name) {
    auto colon = name.find(':');
    if (colon == std::string_view::npos) return {std::string(), std::string(name)};
    return {std::string(name.substr(0, colon)), std::string(name.substr(colon + 1))};
}

// The declaration of `prefix` ("" = default) in scope at `node`, and the element carrying it.
std::pair<xmlNs*, xmlNode*> findInScope(xmlNode* node, std::string_view prefix) {
    for (xmlNode* n = node; n && n->type == XML_ELEMENT_NODE; n = n->parent) {
        for (xmlNs* ns = n->nsDef; ns; ns = ns->next) {
            bool same = prefix.empty() ? (ns->prefix == nullptr || *ns->prefix == 0)
                                       : xmlEquals(ns->prefix, prefix);
            if (same) return {ns, n};
        }
    }
    return {nullptr, nullptr};
}

}  // namespace

XmlElement::XmlElement(_xmlNode* node, bool ownsNode) : XmlNode(node, ownsNode) {}

std::unique_ptr<XmlElement> XmlElement::elementWithName(const std::string& name) {
    xmlNode* node = xmlNewNode(nullptr, xmlCast(name));
    if (!node) return nullptr;
    return std::unique_ptr<XmlElement>(new XmlElement(node, true));
}

std::unique_ptr<XmlElement> XmlElement::elementWithName(const std::string& name,
                                                        const std::string& stringValue) {
    auto element = elementWithName(name);
    if (element) element->setStringValue(stringValue);
    return element;
}

std::unique_ptr<XmlElement> XmlElement::elementWithNameAndURI(const std::string& name,
                                                              const std::string& uri) {
    auto [prefix, local] = splitQualified(name);
    xmlNode* node = xmlNewNode(nullptr, xmlCast(local));
    if (!node) return nullptr;
    auto element = std::unique_ptr<XmlElement>(new XmlElement(node, true));
    xmlNs* ns = xmlNewNs(node, xmlCast(uri), prefix.empty() ? nullptr : xmlCast(prefix));
    if (ns) xmlSetNs(node, ns);
    return element;
}

std::vector<XmlElement*> XmlElement::elementsForName(std::string_view name) const {
    std::vector<XmlElement*> result;
    if (!node_) return result;
    for (xmlNode* child = node_->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        XmlNode* w = nodeWithLibXMLNode(child);
        if (w && w->name() == name) result.push_back(w->asElement());
    }
    return result;
}

std::vector<XmlElement*> XmlElement::elementsForLocalName(std::string_view localName,
                                                          std::string_view uri) const {
    std::vector<XmlElement*> result;
    if (!node_) return result;
    for (xmlNode* child = node_->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE || !xmlEquals(child->name, localName)) continue;
        bool sameUri = child->ns ? xmlEquals(child->ns->href, uri) : uri.empty();
        if (!sameUri) continue;
        if (XmlNode* w = nodeWithLibXMLNode(child)) result.push_back(w->asElement());
    }
    return result;
}

std::vector<XmlNode*> XmlElement::attributes() const {
    std::vector<XmlNode*> result;
    if (!node_) return result;
    for (xmlAttr* a = node_->properties; a; a = a->next)
        if (XmlNode* w = nodeWithLibXMLNode(reinterpret_cast<xmlNode*>(a))) result.push_back(w);
    return result;
}

XmlNode* XmlElement::attributeForName(std::string_view name) const {
    if (!node_) return nullptr;
    xmlAttr* match = nullptr;
    if (name.find(':') != std::string_view::npos) {
        auto [prefix, local] = splitQualified(name);
        for (xmlAttr* a = node_->properties; a && !match; a = a->next)
            if (a->ns && xmlEquals(a->ns->prefix, prefix) && xmlEquals(a->name, local)) match = a;
    } else {
        // An attribute outside any namespace wins over a prefixed one of the same local name.
        xmlAttr* prefixed = nullptr;
        for (xmlAttr* a = node_->properties; a && !match; a = a->next) {
            if (!xmlEquals(a->name, name)) continue;
            if (!a->ns || !a->ns->prefix)
                match = a;
            else if (!prefixed)
                prefixed = a;
        }
        if (!match) match = prefixed;
    }
    return nodeWithLibXMLNode(reinterpret_cast<xmlNode*>(match));
}

std::optional<std::string> XmlElement::attributeValue(std::string_view name) const {
    XmlNode* attribute = attributeForName(name);
    if (!attribute) return std::nullopt;
    return attribute->stringValue();
}

XmlNode* XmlElement::attributeForLocalName(std::string_view localName, std::string_view uri) const {
    if (!node_) return nullptr;
    for (xmlAttr* a = node_->properties; a; a = a->next) {
        if (!xmlEquals(a->name, localName)) continue;
        bool sameUri = a->ns ? xmlEquals(a->ns->href, uri) : uri.empty();
        if (sameUri) return nodeWithLibXMLNode(reinterpret_cast<xmlNode*>(a));
    }
    return nullptr;
}

std::vector<XmlNamespaceNode*> XmlElement::namespaces() const {
    std::vector<XmlNamespaceNode*> result;
    XmlNodePool* pool = ownerPool();
    if (!node_ || !pool) return result;
    auto* self = const_cast<XmlElement*>(this);
    for (xmlNs* ns = node_->nsDef; ns; ns = ns->next)
        result.push_back(pool->namespaceNode(self, xmlText(ns->prefix), xmlText(ns->href)));
    return result;
}

XmlNamespaceNode* XmlElement::namespaceForPrefix(std::string_view prefix) const {
    XmlNodePool* pool = ownerPool();
    if (!node_ || !pool) return nullptr;
    auto [ns, declaringNode] = findInScope(node_, prefix);
    if (ns) {
        auto* declaring = nodeWithLibXMLNode(declaringNode);
        return declaring ? pool->namespaceNode(declaring->asElement(), xmlText(ns->prefix),
                                               xmlText(ns->href))
                         : nullptr;
    }
    // The xml prefix is bound everywhere without being declared.
    if (prefix == "xml")
        return pool->namespaceNode(const_cast<XmlElement*>(this), "xml", kXmlNamespace);
    return nullptr;
}

XmlNamespaceNode* XmlElement::resolveNamespaceForName(std::string_view name) const {
    return namespaceForPrefix(splitQualified(name).first);
}

std::optional<std::string> XmlElement::resolvePrefixForNamespaceURI(std::string_view uri) const {
    if (!node_) return std::nullopt;
    if (uri == kXmlNamespace) return std::string("xml");
    // The nearest declaration of the URI whose prefix is not redeclared closer to this element.
    for (xmlNode* n = node_; n && n->type == XML_ELEMENT_NODE; n = n->parent) {
        for (xmlNs* ns = n->nsDef; ns; ns = ns->next) {
            if (!xmlEquals(ns->href, uri)) continue;
            std::string prefix = xmlText(ns->prefix);
            if (findInScope(node_, prefix).first == ns) return prefix;
        }
    }
    return std::nullopt;
}

const XmlNamespaceNode* XmlElement::predefinedNamespaceForPrefix(std::string_view prefix) {
    static const std::array<XmlNamespaceNode, 4> predefined{
        XmlNamespaceNode("xml", kXmlNamespace, nullptr),
        XmlNamespaceNode("xs", "http://www.w3.org/2001/XMLSchema", nullptr),
        XmlNamespaceNode("xsi", "http://www.w3.org/2001/XMLSchema-instance", nullptr),
        XmlNamespaceNode("xmlns", "http://www.w3.org/2000/xmlns/", nullptr),
    };
    for (const auto& ns : predefined)
        if (ns.prefix() == prefix) return &ns;
    return nullptr;
}

XmlNode* XmlElement::addChild(std::unique_ptr<XmlNode> child) {
    return insertChild(std::move(child), childCount());
}

XmlNode* XmlElement::insertChild(std::unique_ptr<XmlNode> child, std::size_t index) {
    // Only detached elements and processing instructions: libxml2 frees text nodes it merges
    // and attributes it replaces, which would leave their wrappers dangling.
    if (!node_ || !child || !child->ownsNode()) return nullptr;
    XmlNodeKind kind = child->kind();
    if (kind != XmlNodeKind::Element && kind != XmlNodeKind::ProcessingInstruction) return nullptr;
    xmlNode* newNode = child->libxmlNode();
    xmlNode* before = node_->children;
    for (std::size_t i = 0; before && i < index; ++i) before = before->next;
    xmlNode* linked = before ? xmlAddPrevSibling(before, newNode) : xmlAddChild(node_, newNode);
    if (linked != newNode) return nullptr;
    return adoptDetached(std::move(child));
}

XmlNamespaceNode* XmlElement::addNamespace(const XmlNamespaceNode& ns) {
    XmlNodePool* pool = ownerPool();
    if (!node_ || !pool) return nullptr;
    std::string prefix = ns.prefix();
    xmlNs* made = xmlNewNs(node_, xmlCast(ns.URI()), prefix.empty() ? nullptr : xmlCast(prefix));
    if (!made) return nullptr;
    return pool->namespaceNode(this, prefix, ns.URI());
}

XmlElement* XmlElement::subelement(const std::string& name) {
    XmlNode* added = addChild(elementWithName(name));
    return added ? added->asElement() : nullptr;
}

}  // namespace torvane
