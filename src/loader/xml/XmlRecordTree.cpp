#include "loader/xml/XmlRecordTree.h"

namespace torvane {

XmlRecordTree::Index XmlRecordTree::intern(const void* nameKey, std::string_view name) {
    auto known = nameIds_.find(nameKey);
    if (known != nameIds_.end()) return known->second;
    // A name the parser did not intern comes with a new pointer each time: its text decides.
    Index id = kNone;
    for (Index i = 0; i < names_.size(); ++i)
        if (names_[i] == name) id = i;
    if (id == kNone) {
        id = static_cast<Index>(names_.size());
        names_.emplace_back(name);
    }
    nameIds_.emplace(nameKey, id);
    return id;
}

void XmlRecordTree::reserve(std::size_t elements, std::size_t attributes, std::size_t textBytes,
                            std::size_t attributeBytes) {
    elements_.reserve(elements);
    attributes_.reserve(attributes);
    text_.reserve(textBytes);
    values_.reserve(attributeBytes);
}

void XmlRecordTree::startElement(const void* nameKey, std::string_view name) {
    auto index = static_cast<Index>(elements_.size());
    auto attributes = static_cast<Index>(attributes_.size());
    elements_.push_back(Element{intern(nameKey, name), kNone, kNone, attributes, attributes,
                                static_cast<Index>(text_.size())});
    Index& previous = open_.empty() ? lastTop_ : open_.back().lastChild;
    if (previous != kNone) {
        elements_[previous].nextSibling = index;
    } else if (!open_.empty()) {
        elements_[open_.back().element].firstChild = index;
    }
    previous = index;
    open_.push_back(Open{index});
}

void XmlRecordTree::attribute(const void* nameKey, std::string_view name, std::string_view value) {
    if (open_.empty()) return;
    attributes_.push_back(Attribute{intern(nameKey, name), static_cast<Index>(values_.size()),
                                    static_cast<Index>(value.size())});
    values_.append(value);
    elements_[open_.back().element].attributeEnd = static_cast<Index>(attributes_.size());
}

void XmlRecordTree::characters(std::string_view text) {
    if (!open_.empty()) text_.append(text);
}

void XmlRecordTree::endElement() {
    if (open_.empty()) return;
    elements_[open_.back().element].textEnd = static_cast<Index>(text_.size());
    open_.pop_back();
}

bool XmlRecordTree::attribute(Index element, std::string_view name, std::string_view& value) const {
    const Element& e = elements_[element];
    for (Index a = e.firstAttribute; a < e.attributeEnd; ++a) {
        if (names_[attributes_[a].name] != name) continue;
        value = std::string_view(values_).substr(attributes_[a].valueBegin, attributes_[a].valueLength);
        return true;
    }
    return false;
}

std::string_view XmlRecordTree::text(Index element) const {
    const Element& e = elements_[element];
    return std::string_view(text_).substr(e.textBegin, e.textEnd - e.textBegin);
}

}  // namespace torvane
