#include "loader/xml/XmlNode.h"

#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include "loader/xml/XmlDocument.h"
#include "loader/xml/XmlElement.h"
#include "loader/xml/XmlErrorCapture.h"
#include "loader/xml/XmlLibxml.h"
#include "loader/xml/XmlNamespaceNode.h"
#include "loader/xml/XmlNodePool.h"
#include "platform/Format.h"

namespace torvane {

namespace {

XmlNode* wrapperOf(const xmlNode* node) {
    return node ? static_cast<XmlNode*>(node->_private) : nullptr;
}

bool hasChildList(xmlElementType type) {
    // Entity references point their children at the shared entity declaration and attributes
    // keep their value as children: neither counts as having children.
    return type == XML_ELEMENT_NODE || type == XML_DOCUMENT_NODE ||
           type == XML_HTML_DOCUMENT_NODE || type == XML_DOCUMENT_FRAG_NODE;
}

}  // namespace

void XmlNode::NodeDeleter::operator()(_xmlNode* node) const {
    if (!node) return;
    xmlUnlinkNode(node);
    xmlFreeNode(node);
}

XmlNode::XmlNode(_xmlNode* node, bool ownsNode) : node_(node) {
    if (node_) node_->_private = this;
    if (ownsNode && node_) {
        owned_.reset(node_);
        pool_ = std::make_unique<XmlNodePool>();
    }
}

XmlNode::~XmlNode() {
    if (pool_) pool_->invalidateAll();
    if (node_ && node_->_private == this) node_->_private = nullptr;
}

void XmlNode::invalidate() {
    if (node_ && node_->_private == this) node_->_private = nullptr;
    node_ = nullptr;
}

void XmlNode::invalidateList(_xmlNode* first) {
    for (xmlNode* n = first; n; n = n->next) {
        if (XmlNode* w = wrapperOf(n)) w->invalidate();
        if (n->type == XML_ELEMENT_NODE) {
            for (xmlAttr* a = n->properties; a; a = a->next) {
                if (XmlNode* w = wrapperOf(reinterpret_cast<xmlNode*>(a))) w->invalidate();
            }
        }
        if (hasChildList(n->type)) invalidateList(n->children);
    }
}

XmlNodePool* XmlNode::poolFor(_xmlNode* node) {
    if (!node) return nullptr;
    // The owner is found through the document, else through the top of the detached tree.
    if (node->doc && node->doc->_private)
        return wrapperOf(reinterpret_cast<xmlNode*>(node->doc))->pool_.get();
    xmlNode* top = node;
    while (top->parent) top = top->parent;
    XmlNode* owner = wrapperOf(top);
    return owner ? owner->pool_.get() : nullptr;
}

XmlNodePool* XmlNode::ownerPool() const {
    if (pool_) return pool_.get();
    return poolFor(node_);
}

XmlNode* XmlNode::nodeWithLibXMLNode(_xmlNode* node) {
    if (!node || node->type == XML_NAMESPACE_DECL) return nullptr;
    if (XmlNode* existing = wrapperOf(node)) return existing;
    if (node->type == XML_DOCUMENT_NODE || node->type == XML_HTML_DOCUMENT_NODE) return nullptr;

    XmlNodePool* pool = poolFor(node);
    if (!pool) return nullptr;
    std::unique_ptr<XmlNode> wrapper;
    if (node->type == XML_ELEMENT_NODE)
        wrapper.reset(new XmlElement(node, false));
    else
        wrapper.reset(new XmlNode(node, false));
    return pool->adopt(std::move(wrapper));
}

std::unique_ptr<XmlNode> XmlNode::processingInstructionWithName(const std::string& name,
                                                                const std::string& value) {
    xmlNode* node = xmlNewPI(xmlCast(name), xmlCast(value));
    if (!node) return nullptr;
    return std::unique_ptr<XmlNode>(new XmlNode(node, true));
}

XmlNode* XmlNode::adoptDetached(std::unique_ptr<XmlNode> child) {
    XmlNode* raw = child.get();
    std::unique_ptr<XmlNodePool> childPool = std::move(child->pool_);
    (void)child->owned_.release();  // libxml2's tree owns the node now
    XmlNodePool* pool = ownerPool();
    if (childPool) pool->absorb(*childPool);
    pool->adopt(std::move(child));
    return raw;
}

XmlNodeKind XmlNode::kind() const {
    return node_ ? static_cast<XmlNodeKind>(node_->type) : XmlNodeKind::Invalid;
}

XmlElement* XmlNode::asElement() {
    return kind() == XmlNodeKind::Element ? static_cast<XmlElement*>(this) : nullptr;
}

const XmlElement* XmlNode::asElement() const {
    return kind() == XmlNodeKind::Element ? static_cast<const XmlElement*>(this) : nullptr;
}

std::string XmlNode::name() const {
    if (!node_) return {};
    std::string local = xmlText(node_->name);
    bool namespaced = node_->type == XML_ELEMENT_NODE || node_->type == XML_ATTRIBUTE_NODE;
    if (namespaced && node_->ns && node_->ns->prefix && *node_->ns->prefix)
        return xmlText(node_->ns->prefix) + ":" + local;
    return local;
}

std::string XmlNode::localName() const {
    return node_ ? xmlText(node_->name) : std::string();
}

std::string XmlNode::prefix() const {
    if (!node_ || (node_->type != XML_ELEMENT_NODE && node_->type != XML_ATTRIBUTE_NODE)) return {};
    return node_->ns ? xmlText(node_->ns->prefix) : std::string();
}

std::string XmlNode::URI() const {
    if (!node_ || (node_->type != XML_ELEMENT_NODE && node_->type != XML_ATTRIBUTE_NODE)) return {};
    return node_->ns ? xmlText(node_->ns->href) : std::string();
}

std::string XmlNode::stringValue() const {
    if (!node_) return {};
    return xmlTakeText(xmlNodeGetContent(node_));
}

void XmlNode::setStringValue(const std::string& value) {
    if (!node_) return;
    switch (node_->type) {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE: {
        // The old children go away: their wrappers must not point at freed nodes. The new text
        // is taken literally (libxml2's own setter would read "&" as an entity reference).
        invalidateList(node_->children);
        xmlFreeNodeList(node_->children);
        node_->children = nullptr;
        node_->last = nullptr;
        if (!value.empty()) xmlAddChild(node_, xmlNewDocText(node_->doc, xmlCast(value)));
        break;
    }
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        xmlNodeSetContent(node_, xmlCast(value));
        break;
    default:
        break;  // entity references share their content with the declaration: never touched
    }
}

std::vector<XmlNode*> XmlNode::children() const {
    std::vector<XmlNode*> result;
    if (!node_ || !hasChildList(node_->type)) return result;
    for (xmlNode* child = node_->children; child; child = child->next)
        if (XmlNode* w = nodeWithLibXMLNode(child)) result.push_back(w);
    return result;
}

std::size_t XmlNode::childCount() const {
    if (!node_ || !hasChildList(node_->type)) return 0;
    std::size_t count = 0;
    for (xmlNode* child = node_->children; child; child = child->next) ++count;
    return count;
}

XmlNode* XmlNode::childAtIndex(std::size_t index) const {
    if (!node_ || !hasChildList(node_->type)) return nullptr;
    xmlNode* child = node_->children;
    for (std::size_t i = 0; child && i < index; ++i) child = child->next;
    return nodeWithLibXMLNode(child);
}

XmlNode* XmlNode::previousSibling() const {
    return node_ ? nodeWithLibXMLNode(node_->prev) : nullptr;
}

XmlNode* XmlNode::nextSibling() const {
    return node_ ? nodeWithLibXMLNode(node_->next) : nullptr;
}

XmlNode* XmlNode::parent() const {
    if (!node_ || !node_->parent) return nullptr;
    return nodeWithLibXMLNode(node_->parent);
}

XmlDocument* XmlNode::rootDocument() const {
    if (!node_ || !node_->doc) return nullptr;
    return static_cast<XmlDocument*>(wrapperOf(reinterpret_cast<xmlNode*>(node_->doc)));
}

std::size_t XmlNode::index() const {
    std::size_t position = 0;
    for (xmlNode* n = node_ ? node_->prev : nullptr; n; n = n->prev) ++position;
    return position;
}

std::size_t XmlNode::level() const {
    std::size_t depth = 0;
    for (xmlNode* n = node_ ? node_->parent : nullptr; n; n = n->parent) ++depth;
    return depth;
}

std::string XmlNode::XMLString() const {
    if (!node_) return {};
    XmlErrorCapture capture;
    xmlBufferPtr buffer = xmlBufferCreate();
    if (!buffer) return {};
    xmlNodeDump(buffer, node_->doc, node_, 0, 0);
    std::string text = xmlText(xmlBufferContent(buffer));
    xmlBufferFree(buffer);
    // libxml2 writes an attribute as it appears in a start tag, blank first.
    if (node_->type == XML_ATTRIBUTE_NODE && !text.empty() && text.front() == ' ') text.erase(0, 1);
    return text;
}

std::string XmlNode::description() const {
    if (!node_) return "<XmlNode (freed)>";
    const char* type = node_->type == XML_ELEMENT_NODE ? "XmlElement" : "XmlNode";
    return format("<%@ kind %d \"%@\">", type, static_cast<int>(kind()), name());
}

XmlResult<std::vector<XmlNode*>> XmlNode::nodesForXPath(std::string_view xpath) const {
    return nodesForXPath(xpath, {});
}

XmlResult<std::vector<XmlNode*>> XmlNode::nodesForXPath(
    std::string_view xpath, const std::map<std::string, std::string>& namespaceMappings) const {
    std::vector<XmlNode*> result;
    if (!node_) return result;

    XmlErrorCapture capture;
    std::unique_ptr<xmlXPathContext, void (*)(xmlXPathContextPtr)> context(
        xmlXPathNewContext(node_->doc), xmlXPathFreeContext);
    if (!context) return XmlError{"XPathErrorDomain", -1, capture.lastMessage()};
    capture.attach(context.get());
    context->node = node_;
    for (const auto& [prefix, uri] : namespaceMappings)
        xmlXPathRegisterNs(context.get(), xmlCast(prefix), xmlCast(uri));

    std::string expression(xpath);
    std::unique_ptr<xmlXPathObject, void (*)(xmlXPathObjectPtr)> value(
        xmlXPathEvalExpression(xmlCast(expression), context.get()), xmlXPathFreeObject);
    if (!value) return XmlError{"XPathErrorDomain", -1, capture.lastMessage()};
    if (value->type != XPATH_NODESET || !value->nodesetval) return result;

    xmlNodeSetPtr set = value->nodesetval;
    xmlXPathNodeSetSort(set);
    XmlNodePool* pool = ownerPool();
    for (int i = 0; i < set->nodeNr; ++i) {
        xmlNode* found = set->nodeTab[i];
        if (!found) continue;
        if (found->type == XML_NAMESPACE_DECL) {
            // XPath hands out copies of namespaces whose `next` is the element they belong to.
            auto* ns = reinterpret_cast<xmlNs*>(found);
            auto* element = nodeWithLibXMLNode(reinterpret_cast<xmlNode*>(ns->next));
            if (pool && element && element->asElement())
                result.push_back(pool->namespaceNode(element->asElement(), xmlText(ns->prefix),
                                                     xmlText(ns->href)));
            continue;
        }
        if (XmlNode* w = nodeWithLibXMLNode(found)) result.push_back(w);
    }
    return result;
}

XmlResult<XmlNode*> XmlNode::nodeForXPath(std::string_view xpath) const {
    auto nodes = nodesForXPath(xpath);
    if (!nodes) return nodes.error();
    return nodes->empty() ? nullptr : nodes->back();
}

}  // namespace torvane
