#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "loader/xml/XmlError.h"

struct _xmlNode;

namespace torvane {

class XmlDocument;
class XmlElement;
class XmlNodePool;

// The libxml2 node types, with libxml2's numbers.
enum class XmlNodeKind : int {
    Invalid = 0,
    Element = 1,
    Attribute = 2,
    Text = 3,
    CData = 4,
    EntityReference = 5,
    Entity = 6,
    ProcessingInstruction = 7,
    Comment = 8,
    Document = 9,
    DocumentType = 10,
    DocumentFragment = 11,
    Notation = 12,
    HtmlDocument = 13,
    Dtd = 14,
    ElementDeclaration = 15,
    AttributeDeclaration = 16,
    EntityDeclaration = 17,
    Namespace = 18,
};

// One node of a libxml2 tree. Wrappers are made by the tree's owner (a document, or a
// detached element made by a construction operation) and live exactly as long as it, so a
// pointer handed out by a query stays valid while its document lives. A node has at most one
// wrapper: libxml2's private slot of the node points back to it.
//
// A wrapper whose node has been freed (its content was replaced by setStringValue) stays
// alive but empty: every query answers as for a node with nothing in it.
class XmlNode {
public:
    virtual ~XmlNode();
    XmlNode(const XmlNode&) = delete;
    XmlNode& operator=(const XmlNode&) = delete;

    // The wrapper of a libxml2 node, made on first use and kept by the node's owner; null for
    // a null node, for a document without document object and for a tree nobody owns.
    static XmlNode* nodeWithLibXMLNode(_xmlNode* node);

    // A processing instruction not yet in any tree; owns its node until added to an element.
    static std::unique_ptr<XmlNode> processingInstructionWithName(const std::string& name,
                                                                  const std::string& value);

    virtual XmlNodeKind kind() const;
    // False once the node has been freed under the wrapper.
    virtual bool isValid() const { return node_ != nullptr; }
    _xmlNode* libxmlNode() const { return node_; }
    XmlElement* asElement();
    const XmlElement* asElement() const;

    // "prefix:name" when the node's namespace has a prefix.
    virtual std::string name() const;
    virtual std::string localName() const;
    virtual std::string prefix() const;
    virtual std::string URI() const;

    // Attribute: its value; text, CDATA, comment, processing instruction: the content;
    // element and document: all text below, in order, without markup.
    virtual std::string stringValue() const;
    virtual void setStringValue(const std::string& value);

    // Only elements and documents have children; attributes have none.
    virtual std::vector<XmlNode*> children() const;
    virtual std::size_t childCount() const;
    virtual XmlNode* childAtIndex(std::size_t index) const;  // null past the end
    virtual XmlNode* previousSibling() const;
    virtual XmlNode* nextSibling() const;
    virtual XmlNode* parent() const;
    virtual XmlDocument* rootDocument() const;
    virtual std::size_t index() const;  // position among its siblings
    virtual std::size_t level() const;  // document 0, root element 1

    // The node serialised by libxml2 as UTF-8.
    virtual std::string XMLString() const;
    // A short text for logs.
    virtual std::string description() const;

    // XPath with this node as context node, results in document order. A result that is not a
    // node set gives an empty list; an expression libxml2 cannot evaluate gives an error in
    // "XPathErrorDomain", code -1.
    XmlResult<std::vector<XmlNode*>> nodesForXPath(std::string_view xpath) const;
    XmlResult<std::vector<XmlNode*>> nodesForXPath(
        std::string_view xpath, const std::map<std::string, std::string>& namespaceMappings) const;
    // The LAST node matched (null when none): callers write "[1]" to pin the one they mean.
    XmlResult<XmlNode*> nodeForXPath(std::string_view xpath) const;

protected:
    XmlNode(_xmlNode* node, bool ownsNode);

    // Frees the node and every wrapper of its subtree (detached trees only).
    struct NodeDeleter {
        void operator()(_xmlNode* node) const;
    };

    // The owner keeping this node's wrappers: the document object, or the top wrapper of a
    // detached tree. Null when there is none.
    XmlNodePool* ownerPool() const;
    // Moves a detached tree (and its wrappers) under this node's owner after libxml2 linked it.
    XmlNode* adoptDetached(std::unique_ptr<XmlNode> child);
    bool ownsNode() const { return owned_ != nullptr; }

    _xmlNode* node_ = nullptr;

private:
    friend class XmlNodePool;
    friend class XmlDocument;
    friend class XmlElement;

    void invalidate();
    // Forgets the wrappers of a node list and everything below it, before libxml2 frees it.
    static void invalidateList(_xmlNode* first);
    static XmlNodePool* poolFor(_xmlNode* node);

    // Declared in this order so the wrappers go first, then the tree they point into.
    std::unique_ptr<_xmlNode, NodeDeleter> owned_;
    std::unique_ptr<XmlNodePool> pool_;
};

}  // namespace torvane
