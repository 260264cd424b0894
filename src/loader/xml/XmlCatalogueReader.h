#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "loader/xml/XmlError.h"
#include "loader/xml/XmlRecord.h"

namespace torvane {

// What a catalogue document says about itself.
struct XmlEnvelope {
    std::string rootName;
    std::optional<std::string> numeroElement;  // text of the root's last NumeroElement child
    int aziendaCount = 0;                      // Azienda children of the root
    std::optional<std::string> codice;         // first Codice of the first Azienda
    std::optional<std::string> timestamp;      // last Timestamp of the first Azienda
    std::vector<std::string> sections;         // first Azienda's children, first of each name, in file order
};

// The record elements of one section, in file order.
class XmlSectionRecords {
public:
    explicit XmlSectionRecords(XmlRecord section) : section_(section) {}
    // The next child element of the section; false after the last.
    bool next(XmlRecord& record) {
        current_ = started_ ? current_.nextSibling() : *section_.children().begin();
        started_ = true;
        record = current_;
        return !current_.isNull();
    }
    // The section element with everything below it.
    XmlRecord whole() const { return section_; }

private:
    XmlRecord section_;
    XmlRecord current_;
    bool started_ = false;
};

// Reads a catalogue document held in memory in one parse: it is checked to its last byte
// before anything of it is handed out, so a document that is not well-formed, or cut short,
// is never half loaded. No network, no DTD, no entity substitution: a document that declares
// entities is refused, as are absurd shapes (XmlShapeGuard). The first Azienda's elements are
// kept in compact form (XmlRecordTree), about as large as their text.
class XmlCatalogueReader {
public:
    explicit XmlCatalogueReader(std::string_view data);
    ~XmlCatalogueReader();
    XmlCatalogueReader(const XmlCatalogueReader&) = delete;
    XmlCatalogueReader& operator=(const XmlCatalogueReader&) = delete;

    // The envelope, or the parse error ("XmlErrorDomain", 1).
    XmlResult<XmlEnvelope> read();

    using SectionVisitor = std::function<void(const std::string& name, XmlSectionRecords& records)>;
    // Visits the first Azienda's child elements in file order (every one, repeated names too);
    // nothing before read() has succeeded.
    void forEachSection(const SectionVisitor& visit) const;

private:
    std::string_view data_;
    std::unique_ptr<XmlRecordTree> tree_;
    bool read_ = false;
};

}  // namespace torvane
