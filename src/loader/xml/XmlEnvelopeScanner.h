#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "loader/xml/XmlError.h"

namespace torvane {

struct XmlEnvelope;
class XmlRecordTree;

// The one pass over a whole catalogue document: checks that it is well-formed to its last
// byte, reads what the document says about itself and, when given a tree, keeps the first
// Azienda's elements in it. Driven by parser events only, so no libxml2 node is ever built.
// Refuses documents that declare entities or name an external DTD. Internal to
// XmlCatalogueReader.
class XmlEnvelopeScanner {
public:
    // The envelope, or the parse error's message. What `tree` holds is complete only when the
    // envelope comes back.
    static XmlResult<XmlEnvelope> scan(std::string_view data, XmlRecordTree* tree = nullptr);

    // Parser events (called through libxml2's C callbacks).
    void startElement(std::string_view name);
    void endElement();
    void characters(std::string_view text);
    void refuse(const char* reason);
    void error(std::string message);
    // The tree when the element about to start is kept in it.
    XmlRecordTree* keeping() const;
    XmlRecordTree* tree() const { return tree_; }

private:
    XmlEnvelopeScanner(XmlEnvelope& envelope, XmlRecordTree* tree) : envelope_(envelope), tree_(tree) {}

    XmlEnvelope& envelope_;
    XmlRecordTree* tree_;
    int depth_ = 0;
    bool inFirstAzienda_ = false;
    bool sawRoot_ = false;
    // The envelope element whose text is being read, and the depth it started at.
    std::optional<std::string>* reading_ = nullptr;
    int readingDepth_ = 0;
    std::string text_;
    std::optional<std::string> refusal_;
    std::string lastError_;
};

}  // namespace torvane
