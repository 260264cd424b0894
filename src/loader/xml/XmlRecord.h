#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <cstddef>

struct _xmlNode;

namespace torvane {

// A read-only view of one element of a record subtree handed out by XmlStreamReader. It is a
// plain pointer: valid only while the reader keeps that subtree (until the next record).
//
// Text never expands entity references: a document that declares entities can neither pull in
// files nor inflate itself when the loader reads it (the stream reader refuses it first).
class XmlRecord {
public:
    XmlRecord() = default;
    explicit XmlRecord(_xmlNode* node) : node_(node) {}

    bool isNull() const { return node_ == nullptr; }
    std::string_view name() const;
    // The attribute's value; none when the element has no attribute of that name.
    std::optional<std::string> attribute(std::string_view name) const;
    // All text below the element, in order, without markup.
    std::string text() const;
    // Direct child elements, in document order, walked in place (a loader reads millions).
    class Children;
    Children children() const;
    // The first direct child element of that name; a null record when none.
    XmlRecord firstChild(std::string_view name) const;

    _xmlNode* libxmlNode() const { return node_; }

private:
    _xmlNode* node_ = nullptr;
};

// The child elements of one element, as a range over the tree itself.
class XmlRecord::Children {
public:
    class iterator {
    public:
        explicit iterator(_xmlNode* node) : node_(node) {}
        XmlRecord operator*() const { return XmlRecord(node_); }
        iterator& operator++();
        bool operator==(const iterator& other) const { return node_ == other.node_; }
        bool operator!=(const iterator& other) const { return node_ != other.node_; }

    private:
        _xmlNode* node_;
    };

    explicit Children(_xmlNode* first) : first_(first) {}
    iterator begin() const { return iterator(first_); }
    iterator end() const { return iterator(nullptr); }
    std::size_t size() const;

private:
    _xmlNode* first_;  // the first child element, or none
};

}  // namespace torvane
