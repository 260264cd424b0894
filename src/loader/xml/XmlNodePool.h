#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace torvane {

class XmlNode;
class XmlElement;
class XmlNamespaceNode;

// The wrappers made for the nodes of one tree, kept by the tree's owner (the document object,
// or the top wrapper of a detached tree). Internal to the XML layer.
class XmlNodePool {
public:
    XmlNodePool() = default;
    ~XmlNodePool();
    XmlNodePool(const XmlNodePool&) = delete;
    XmlNodePool& operator=(const XmlNodePool&) = delete;

    XmlNode* adopt(std::unique_ptr<XmlNode> wrapper);
    // The one namespace node for (element, prefix); made on first use.
    XmlNamespaceNode* namespaceNode(XmlElement* parent, const std::string& prefix,
                                    const std::string& uri);
    // Takes over every wrapper of `other` (a detached tree joining this owner's tree).
    void absorb(XmlNodePool& other);
    // Cuts every wrapper loose from its node, before the tree is freed.
    void invalidateAll();

private:
    std::vector<std::unique_ptr<XmlNode>> wrappers_;
    std::map<std::pair<const XmlElement*, std::string>, XmlNamespaceNode*> namespaces_;
};

}  // namespace torvane
