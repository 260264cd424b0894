#include "loader/xml/XmlCatalogueReader.h"

#include "loader/xml/XmlEnvelopeScanner.h"
#include "loader/xml/XmlShapeGuard.h"

namespace torvane {

namespace {

constexpr const char* kDomain = "XmlErrorDomain";

}  // namespace

XmlCatalogueReader::XmlCatalogueReader(std::string_view data) : data_(data) {}

XmlCatalogueReader::~XmlCatalogueReader() = default;

XmlResult<XmlEnvelope> XmlCatalogueReader::read() {
    read_ = false;
    tree_ = std::make_unique<XmlRecordTree>();
    if (data_.empty()) return XmlError{kDomain, 1, "Document is empty"};
    XmlShapeGuard::Shape shape;
    if (auto problem = XmlShapeGuard::check(data_, &shape)) return XmlError{kDomain, 1, *problem};
    // Only the pages a document fills are ever touched, whatever is reserved.
    tree_->reserve(shape.elements, shape.attributes, shape.textBytes, shape.attributeBytes);
    auto envelope = XmlEnvelopeScanner::scan(data_, tree_.get());
    read_ = envelope.ok();
    if (!read_) tree_.reset();
    return envelope;
}

void XmlCatalogueReader::forEachSection(const SectionVisitor& visit) const {
    if (!read_) return;
    for (XmlRecord section(tree_.get(), tree_->firstTop()); !section.isNull(); section = section.nextSibling()) {
        XmlSectionRecords records(section);
        visit(std::string(section.name()), records);
    }
}

}  // namespace torvane
