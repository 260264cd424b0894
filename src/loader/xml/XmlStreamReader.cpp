#include "loader/xml/XmlStreamReader.h"

#include <libxml/tree.h>
#include <libxml/xmlreader.h>

#include <limits>

#include "loader/xml/XmlEnvelopeScanner.h"
#include "loader/xml/XmlErrorCapture.h"
#include "loader/xml/XmlShapeGuard.h"

namespace torvane {

namespace {

constexpr const char* kDomain = "XmlErrorDomain";
constexpr int kOptions = XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_COMPACT;

struct ReaderErrors {
    std::string last;
};

void recordError(void* target, xmlErrorPtr error) {
    if (!error || error->level < XML_ERR_ERROR) return;
    std::string message = error->message ? error->message : "Unknown error";
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    static_cast<ReaderErrors*>(target)->last = message;
}

// The reader with its error channel routed into `errors`.
struct Reader {
    Reader(std::string_view data, ReaderErrors& errors) {
        XmlErrorCapture::initialiseLibrary();
        if (data.empty() || data.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return;
        reader = xmlReaderForMemory(data.data(), static_cast<int>(data.size()), nullptr, nullptr, kOptions);
        if (reader) xmlTextReaderSetStructuredErrorHandler(reader, recordError, &errors);
    }
    ~Reader() {
        if (reader) xmlFreeTextReader(reader);
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    xmlTextReaderPtr reader = nullptr;
};

std::string localName(xmlTextReaderPtr reader) {
    const xmlChar* name = xmlTextReaderConstName(reader);
    return name ? reinterpret_cast<const char*>(name) : "";
}

bool isElement(xmlTextReaderPtr reader) { return xmlTextReaderNodeType(reader) == XML_READER_TYPE_ELEMENT; }

XmlError failure(const ReaderErrors& errors, const char* fallback) {
    return XmlError{kDomain, 1, errors.last.empty() ? fallback : errors.last};
}

}  // namespace

XmlResult<XmlEnvelope> XmlStreamReader::scanEnvelope() const {
    if (data_.empty()) return XmlError{kDomain, 1, "Document is empty"};
    if (auto problem = XmlShapeGuard::check(data_)) return XmlError{kDomain, 1, *problem};
    return XmlEnvelopeScanner::scan(data_);
}

std::optional<XmlError> XmlStreamReader::forEachSection(const SectionVisitor& visit) const {
    ReaderErrors errors;
    Reader r(data_, errors);
    if (!r.reader) return failure(errors, "Document is empty");
    int status = xmlTextReaderRead(r.reader);
    // Down to the root's first Azienda.
    while (status == 1 && !(isElement(r.reader) && xmlTextReaderDepth(r.reader) == 1 && localName(r.reader) == "Azienda"))
        status = (isElement(r.reader) && xmlTextReaderDepth(r.reader) == 1) ? xmlTextReaderNext(r.reader)
                                                                            : xmlTextReaderRead(r.reader);
    if (status != 1) return status == 0 ? std::nullopt : std::optional(failure(errors, "Document is not well-formed"));
    if (xmlTextReaderIsEmptyElement(r.reader)) return std::nullopt;
    status = xmlTextReaderRead(r.reader);
    while (status == 1 && xmlTextReaderDepth(r.reader) >= 2) {
        if (!isElement(r.reader) || xmlTextReaderDepth(r.reader) != 2) {
            status = xmlTextReaderRead(r.reader);
            continue;
        }
        XmlSectionRecords records(r.reader, 2);
        if (xmlTextReaderIsEmptyElement(r.reader)) records.finished_ = true;
        visit(localName(r.reader), records);
        if (records.failed_) return failure(errors, "Document is not well-formed");
        // Past the end of the section, whatever the visitor read of it.
        if (records.expanded_ || !records.started_) {
            status = xmlTextReaderNext(r.reader);
        } else {
            XmlRecord ignored;
            while (records.next(ignored)) {
            }
            if (records.failed_) return failure(errors, "Document is not well-formed");
            status = xmlTextReaderRead(r.reader);
        }
    }
    if (status == -1) return failure(errors, "Document is not well-formed");
    return std::nullopt;
}

bool XmlSectionRecords::next(XmlRecord& record) {
    if (!reader_) {  // a kept copy
        if (finished_) return false;
        cursor_ = cursor_ ? cursor_->next : (kept_.libxmlNode() ? kept_.libxmlNode()->children : nullptr);
        while (cursor_ && cursor_->type != XML_ELEMENT_NODE) cursor_ = cursor_->next;
        if (!cursor_) {
            finished_ = true;
            return false;
        }
        record = XmlRecord(cursor_);
        return true;
    }
    if (finished_ || expanded_ || failed_) return false;
    started_ = true;
    while (true) {
        int status = skipPending_ ? xmlTextReaderNext(reader_) : xmlTextReaderRead(reader_);
        skipPending_ = false;
        if (status != 1) {
            failed_ = true;
            return false;
        }
        int depth = xmlTextReaderDepth(reader_);
        if (depth <= depth_) {  // the section's end tag
            finished_ = true;
            return false;
        }
        if (depth == depth_ + 1 && isElement(reader_)) {
            xmlNodePtr node = xmlTextReaderExpand(reader_);
            if (!node) {
                failed_ = true;
                return false;
            }
            skipPending_ = true;
            record = XmlRecord(node);
            return true;
        }
    }
}

XmlRecord XmlSectionRecords::whole() {
    if (!reader_) return kept_;
    if (started_) return {};  // records already streamed past cannot be had again
    xmlNodePtr node = xmlTextReaderExpand(reader_);
    if (!node) {
        failed_ = true;
        return {};
    }
    expanded_ = true;
    return XmlRecord(node);
}

XmlKeptSection::XmlKeptSection(XmlRecord section) {
    doc_ = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    if (!doc_ || section.isNull()) return;
    xmlNodePtr copy = xmlDocCopyNode(section.libxmlNode(), doc_, 1);
    if (copy) xmlDocSetRootElement(doc_, copy);
    root_ = XmlRecord(copy);
}

XmlKeptSection::~XmlKeptSection() {
    if (doc_) xmlFreeDoc(doc_);
}

XmlSectionRecords XmlKeptSection::records() const { return XmlSectionRecords(root_); }

}  // namespace torvane
