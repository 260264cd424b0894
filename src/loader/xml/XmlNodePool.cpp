#include "loader/xml/XmlNodePool.h"

#include "loader/xml/XmlElement.h"
#include "loader/xml/XmlNamespaceNode.h"
#include "loader/xml/XmlNode.h"

namespace torvane {

XmlNodePool::~XmlNodePool() {
    invalidateAll();
}

XmlNode* XmlNodePool::adopt(std::unique_ptr<XmlNode> wrapper) {
    XmlNode* raw = wrapper.get();
    if (raw) wrappers_.push_back(std::move(wrapper));
    return raw;
}

XmlNamespaceNode* XmlNodePool::namespaceNode(XmlElement* parent, const std::string& prefix,
                                             const std::string& uri) {
    auto key = std::make_pair(static_cast<const XmlElement*>(parent), prefix);
    if (auto it = namespaces_.find(key); it != namespaces_.end()) return it->second;
    auto node = std::make_unique<XmlNamespaceNode>(prefix, uri, parent);
    XmlNamespaceNode* raw = node.get();
    wrappers_.push_back(std::move(node));
    namespaces_.emplace(std::move(key), raw);
    return raw;
}

void XmlNodePool::absorb(XmlNodePool& other) {
    for (auto& wrapper : other.wrappers_) wrappers_.push_back(std::move(wrapper));
    other.wrappers_.clear();
    namespaces_.merge(other.namespaces_);
    other.namespaces_.clear();
}

void XmlNodePool::invalidateAll() {
    for (auto& wrapper : wrappers_) wrapper->invalidate();
    for (auto& [key, ns] : namespaces_) ns->parent_ = nullptr;
}

}  // namespace torvane
