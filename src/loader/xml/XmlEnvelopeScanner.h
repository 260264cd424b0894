#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "loader/xml/XmlError.h"

namespace torvane {

struct XmlEnvelope;

// The envelope pass over a whole catalogue document: checks that it is well-formed to its
// last byte and reads what the document says about itself. Driven by parser events only, so
// no node of the document is ever built: the pass costs the parse and nothing more. Refuses
// documents that declare entities or name an external DTD. Internal to XmlStreamReader.
class XmlEnvelopeScanner {
public:
    // The envelope, or the parse error's message.
    static XmlResult<XmlEnvelope> scan(std::string_view data);

    // Parser events (called through libxml2's C callbacks).
    void startElement(std::string_view name);
    void endElement();
    void characters(std::string_view text);
    void refuse(const char* reason);
    void error(std::string message);

private:
    explicit XmlEnvelopeScanner(XmlEnvelope& envelope) : envelope_(envelope) {}

    XmlEnvelope& envelope_;
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
