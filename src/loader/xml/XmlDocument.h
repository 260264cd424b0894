#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "loader/xml/XmlNode.h"

struct _xmlDoc;

namespace torvane {

// A parsed or built document. It owns the libxml2 tree and every wrapper made for its nodes;
// node pointers it hands out are valid until it is destroyed.
//
// Parsing is hardened for documents from the network: no network access, no external
// entities or DTDs loaded, entity references are not substituted, and a document whose
// entities would expand its text beyond all proportion is refused.
class XmlDocument : public XmlNode {
public:
    ~XmlDocument() override;

    // Parses from memory, recovering from errors; white space between elements stays as text
    // nodes. Without an encoding the document's own declaration (or BOM) decides, UTF-8 by
    // default. Empty input and a result without root element are errors (domain
    // "XmlErrorDomain", code 1).
    static XmlResult<std::unique_ptr<XmlDocument>> initWithData(std::string_view data);
    static XmlResult<std::unique_ptr<XmlDocument>> initWithData(std::string_view data,
                                                                const std::string& encoding);
    static XmlResult<std::unique_ptr<XmlDocument>> initWithXMLString(std::string_view xml);
    // A local path or file:// URL; other schemes are errors (the loader downloads itself).
    static XmlResult<std::unique_ptr<XmlDocument>> initWithContentsOfURL(const std::string& url);
    static XmlResult<std::unique_ptr<XmlDocument>> initWithContentsOfURL(
        const std::string& url, const std::string& encoding);

    // An empty document (version 1.0, no root element).
    static std::unique_ptr<XmlDocument> document();
    static std::unique_ptr<XmlDocument> documentWithRootElement(std::unique_ptr<XmlElement> root);

    XmlElement* rootElement() const;

    // The whole document as libxml2 serialises it (declaration, document's encoding).
    std::string XMLData() const;
    // The root element's serialisation.
    std::string XMLString() const override;
    std::string description() const override;

    // A document has no parent, siblings or owner document above it.
    void setStringValue(const std::string&) override {}
    XmlNode* parent() const override { return nullptr; }
    XmlDocument* rootDocument() const override;

protected:
    struct DocDeleter {
        void operator()(_xmlDoc* doc) const;
    };
    explicit XmlDocument(_xmlDoc* doc);

    static XmlResult<std::unique_ptr<XmlDocument>> parse(std::string_view data,
                                                         const char* encoding);

private:
    std::unique_ptr<_xmlDoc, DocDeleter> doc_;
};

}  // namespace torvane
