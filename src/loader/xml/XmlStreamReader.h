#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "loader/xml/XmlError.h"
#include "loader/xml/XmlRecord.h"

struct _xmlTextReader;
struct _xmlDoc;

namespace torvane {

// What a catalogue document says about itself, read in one streaming pass.
struct XmlEnvelope {
    std::string rootName;
    std::optional<std::string> numeroElement;  // text of the root's last NumeroElement child
    int aziendaCount = 0;                      // Azienda children of the root
    std::optional<std::string> codice;         // first Codice of the first Azienda
    std::optional<std::string> timestamp;      // last Timestamp of the first Azienda
    std::vector<std::string> sections;         // first Azienda's children, first of each name, in file order
};

// The record elements of one section, one subtree at a time: either read from the stream
// (each record expanded when asked for and freed when the next one is read) or walked over a
// copy kept in memory.
class XmlSectionRecords {
public:
    // The next child element of the section; false at the end (or when the stream failed).
    bool next(XmlRecord& record);
    // The section element with everything below it (reads the rest of the section in).
    XmlRecord whole();
    bool failed() const { return failed_; }

private:
    friend class XmlStreamReader;
    friend class XmlKeptSection;
    XmlSectionRecords(_xmlTextReader* reader, int depth) : reader_(reader), depth_(depth) {}
    explicit XmlSectionRecords(XmlRecord kept) : kept_(kept) {}

    _xmlTextReader* reader_ = nullptr;
    int depth_ = 0;
    bool skipPending_ = false;
    bool finished_ = false;
    bool expanded_ = false;
    bool failed_ = false;
    bool started_ = false;
    XmlRecord kept_;
    _xmlNode* cursor_ = nullptr;
};

// A section copied out of the stream, for sections met before the ones that must load first.
class XmlKeptSection {
public:
    explicit XmlKeptSection(XmlRecord section);
    ~XmlKeptSection();
    XmlKeptSection(const XmlKeptSection&) = delete;
    XmlKeptSection& operator=(const XmlKeptSection&) = delete;
    XmlSectionRecords records() const;

private:
    _xmlDoc* doc_ = nullptr;
    XmlRecord root_;
};

// Streaming reader over a catalogue document held in memory: a whole-document tree is never
// built, so memory stays near the size of the bytes. Strict: a document that is not
// well-formed is an error, never half read. No network, no DTD, no entity substitution: a
// document that declares entities is refused, as are absurd shapes (XmlShapeGuard).
class XmlStreamReader {
public:
    explicit XmlStreamReader(std::string_view data) : data_(data) {}

    // Reads the whole document once: the envelope, or the parse error ("XmlErrorDomain", 1).
    XmlResult<XmlEnvelope> scanEnvelope() const;

    using SectionVisitor = std::function<void(const std::string& name, XmlSectionRecords& records)>;
    // Visits the first Azienda's child elements in file order (every one, repeated names too).
    // An error when the stream fails part-way.
    std::optional<XmlError> forEachSection(const SectionVisitor& visit) const;

private:
    std::string_view data_;
};

}  // namespace torvane
