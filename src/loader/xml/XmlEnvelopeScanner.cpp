#include "loader/xml/XmlEnvelopeScanner.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "loader/xml/XmlErrorCapture.h"
#include "loader/xml/XmlCatalogueReader.h"

namespace torvane {

namespace {

constexpr const char* kDomain = "XmlErrorDomain";

XmlEnvelopeScanner& scannerOf(void* context) {
    auto* parser = static_cast<xmlParserCtxtPtr>(context);
    return *static_cast<XmlEnvelopeScanner*>(parser->_private);
}

std::string_view text(const xmlChar* chars, int length) {
    return {reinterpret_cast<const char*>(chars), static_cast<std::size_t>(length)};
}

void onStartElement(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar*, int,
                    const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
    XmlEnvelopeScanner& scanner = scannerOf(context);
    const char* local = reinterpret_cast<const char*>(localName);
    if (XmlRecordTree* tree = scanner.keeping()) {
        tree->startElement(localName, local);
        // Five entries per attribute: local name, prefix, namespace, value start, value end.
        for (int i = 0; i < attributeCount; ++i) {
            const xmlChar* const* a = attributes + 5 * i;
            tree->attribute(a[0], reinterpret_cast<const char*>(a[0]),
                            text(a[3], static_cast<int>(a[4] - a[3])));
        }
    }
    if (!prefix) {
        scanner.startElement(local);
        return;
    }
    std::string qualified = reinterpret_cast<const char*>(prefix);
    scanner.startElement(qualified + ":" + local);
}

void onEndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    XmlEnvelopeScanner& scanner = scannerOf(context);
    if (XmlRecordTree* tree = scanner.tree(); tree && tree->building()) tree->endElement();
    scanner.endElement();
}

void onCharacters(void* context, const xmlChar* chars, int length) {
    XmlEnvelopeScanner& scanner = scannerOf(context);
    if (XmlRecordTree* tree = scanner.tree()) tree->characters(text(chars, length));
    scanner.characters(text(chars, length));
}

// The text would silently lose what an entity stands for, and an external DTD is never
// loaded: such documents are refused whole.
void onInternalSubset(void* context, const xmlChar*, const xmlChar* externalId, const xmlChar* systemId) {
    if (externalId || systemId) scannerOf(context).refuse("Entity declarations are not accepted");
}

void onEntityDeclaration(void* context, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
    scannerOf(context).refuse("Entity declarations are not accepted");
}

void onError(void* context, xmlErrorPtr error) {
    if (!error || error->level < XML_ERR_ERROR) return;
    auto* parser = static_cast<xmlParserCtxtPtr>(context);
    if (!parser || !parser->_private) return;
    scannerOf(context).error(error->message ? error->message : "Unknown error");
}

}  // namespace

void XmlEnvelopeScanner::startElement(std::string_view name) {
    int depth = depth_++;
    if (reading_) return;  // inside an envelope element: only its text counts
    if (depth == 0) {
        envelope_.rootName = std::string(name);
        sawRoot_ = true;
    } else if (depth == 1) {
        inFirstAzienda_ = false;
        if (name == "NumeroElement") {
            reading_ = &envelope_.numeroElement;
        } else if (name == "Azienda") {
            inFirstAzienda_ = ++envelope_.aziendaCount == 1;
        }
    } else if (depth == 2 && inFirstAzienda_) {
        if (name == "Codice" && !envelope_.codice) {
            reading_ = &envelope_.codice;
        } else if (name == "Timestamp") {
            reading_ = &envelope_.timestamp;
        } else if (std::find(envelope_.sections.begin(), envelope_.sections.end(), name) == envelope_.sections.end()) {
            envelope_.sections.emplace_back(name);
        }
    }
    if (reading_) {
        readingDepth_ = depth;
        text_.clear();
    }
}

void XmlEnvelopeScanner::endElement() {
    --depth_;
    if (reading_ && depth_ == readingDepth_) {
        *reading_ = text_;
        reading_ = nullptr;
    }
}

void XmlEnvelopeScanner::characters(std::string_view text) {
    if (reading_) text_.append(text);
}

void XmlEnvelopeScanner::refuse(const char* reason) {
    if (!refusal_) refusal_ = reason;
}

void XmlEnvelopeScanner::error(std::string message) {
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    lastError_ = std::move(message);
}

XmlRecordTree* XmlEnvelopeScanner::keeping() const {
    if (!tree_) return nullptr;
    return tree_->building() || (depth_ == 2 && inFirstAzienda_) ? tree_ : nullptr;
}

XmlResult<XmlEnvelope> XmlEnvelopeScanner::scan(std::string_view data, XmlRecordTree* tree) {
    XmlErrorCapture::initialiseLibrary();
    if (data.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return XmlError{kDomain, 1, "Document is too large"};
    xmlSAXHandler events;
    std::memset(&events, 0, sizeof events);
    events.initialized = XML_SAX2_MAGIC;
    events.startElementNs = onStartElement;
    events.endElementNs = onEndElement;
    events.characters = onCharacters;
    events.cdataBlock = onCharacters;
    events.ignorableWhitespace = onCharacters;
    events.internalSubset = onInternalSubset;
    events.entityDecl = onEntityDeclaration;
    events.serror = onError;

    XmlErrorCapture capture;  // nothing reaches stderr
    xmlParserCtxtPtr parser = xmlCreateMemoryParserCtxt(data.data(), static_cast<int>(data.size()));
    if (!parser) return XmlError{kDomain, 1, "Document is empty"};
    XmlEnvelope envelope;
    XmlEnvelopeScanner scanner(envelope, tree);
    // The context's own handler is replaced, so nothing is built; the parser frees it.
    std::memcpy(parser->sax, &events, sizeof events);
    parser->_private = &scanner;
    xmlCtxtUseOptions(parser, XML_PARSE_NONET | XML_PARSE_NOWARNING);
    xmlParseDocument(parser);
    bool wellFormed = parser->wellFormed != 0;
    parser->_private = nullptr;
    xmlFreeParserCtxt(parser);
    if (scanner.refusal_) return XmlError{kDomain, 1, *scanner.refusal_};
    if (!wellFormed || !scanner.sawRoot_) {
        std::string message = scanner.lastError_;
        if (message.empty()) message = capture.lastMessage("Document is not well-formed");
        return XmlError{kDomain, 1, message};
    }
    return envelope;
}

}  // namespace torvane
