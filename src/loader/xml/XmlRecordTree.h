#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace torvane {

// The elements of a catalogue's first Azienda, kept in a compact form while the one parse of
// the document runs: element names interned, attributes and text copied into two buffers,
// children linked by index. Loading then walks this instead of building a libxml2 node per
// element a second time. Immutable once built; XmlRecord is a view into it.
class XmlRecordTree {
public:
    using Index = std::uint32_t;
    static constexpr Index kNone = 0xffffffffu;

    // ---- building, in document order ----
    // Room for what the document's bytes announce, so the buffers seldom move while they fill
    // (a document converted from a one-byte encoding may still outgrow its text estimate).
    void reserve(std::size_t elements, std::size_t attributes, std::size_t textBytes, std::size_t attributeBytes);
    // `nameKey` identifies the name within one parse (the parser's interned pointer), so a name
    // is compared as text only the first time it is met.
    void startElement(const void* nameKey, std::string_view name);
    void attribute(const void* nameKey, std::string_view name, std::string_view value);
    void characters(std::string_view text);
    void endElement();
    bool building() const { return !open_.empty(); }

    // ---- reading ----
    // The top elements: the first Azienda's children, in file order.
    Index firstTop() const { return elements_.empty() ? kNone : 0; }
    Index nextSibling(Index element) const { return elements_[element].nextSibling; }
    Index firstChild(Index element) const { return elements_[element].firstChild; }
    std::string_view name(Index element) const { return names_[elements_[element].name]; }
    // False when the element has no attribute of that name; else its value is in `value`.
    bool attribute(Index element, std::string_view name, std::string_view& value) const;
    // All text below the element, in document order: it was appended between its tags.
    std::string_view text(Index element) const;

private:
    struct Element {
        Index name;
        Index firstChild = kNone;
        Index nextSibling = kNone;
        Index firstAttribute;
        Index attributeEnd;
        Index textBegin;
        Index textEnd = 0;
    };
    struct Attribute {
        Index name;
        Index valueBegin;
        Index valueLength;
    };
    struct Open {
        Index element;
        Index lastChild = kNone;
    };
    Index intern(const void* nameKey, std::string_view name);

    std::vector<Element> elements_;
    std::vector<Attribute> attributes_;
    std::string text_;
    std::string values_;
    std::vector<std::string> names_;
    std::unordered_map<const void*, Index> nameIds_;
    std::vector<Open> open_;
    Index lastTop_ = kNone;
};

}  // namespace torvane
