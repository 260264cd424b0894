#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "loader/xml/XmlRecordTree.h"

namespace torvane {

// A read-only view of one element of a catalogue's first Azienda, as XmlCatalogueReader kept
// it: valid as long as the reader.
//
// Text never expands entity references: a document that declares entities can neither pull in
// files nor inflate itself when the loader reads it (the reader refuses it first).
class XmlRecord {
public:
    XmlRecord() = default;
    XmlRecord(const XmlRecordTree* tree, XmlRecordTree::Index index)
        : tree_(index == XmlRecordTree::kNone ? nullptr : tree), index_(index) {}

    bool isNull() const { return tree_ == nullptr; }
    std::string_view name() const { return tree_ ? tree_->name(index_) : std::string_view(); }
    // The attribute's value; none when the element has no attribute of that name.
    std::optional<std::string> attribute(std::string_view name) const;
    // All text below the element, in order, without markup.
    std::string text() const { return tree_ ? std::string(tree_->text(index_)) : std::string(); }
    // Direct child elements, in document order.
    class Children;
    Children children() const;
    // The first direct child element of that name; a null record when none.
    XmlRecord firstChild(std::string_view name) const;
    // The next element after this one under the same parent; a null record after the last.
    XmlRecord nextSibling() const { return tree_ ? XmlRecord(tree_, tree_->nextSibling(index_)) : XmlRecord(); }

private:
    const XmlRecordTree* tree_ = nullptr;
    XmlRecordTree::Index index_ = XmlRecordTree::kNone;
};

// The child elements of one element, as a range over the tree itself.
class XmlRecord::Children {
public:
    class iterator {
    public:
        explicit iterator(XmlRecord record) : record_(record) {}
        XmlRecord operator*() const { return record_; }
        iterator& operator++() {
            record_ = record_.nextSibling();
            return *this;
        }
        bool operator==(const iterator& other) const { return record_.index_ == other.record_.index_; }
        bool operator!=(const iterator& other) const { return !(*this == other); }

    private:
        XmlRecord record_;
    };

    explicit Children(XmlRecord first) : first_(first) {}
    iterator begin() const { return iterator(first_); }
    iterator end() const { return iterator(XmlRecord()); }
    std::size_t size() const;

private:
    XmlRecord first_;  // the first child element, or a null record
};

}  // namespace torvane
