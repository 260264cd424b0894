#include "review/XmlWriter.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <memory>
#include <new>

#include "platform/Format.h"

namespace torvane {

namespace {

constexpr const char* kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr const char* kXmlnsNamespace = "http://www.w3.org/2000/xmlns/";
constexpr int kChunkUnits = 256;

bool dropped(UChar32 c) {
    if (c < 0x20) return c != '\t' && c != '\n' && c != '\r';
    // Everything outside the BMP travels as surrogate pairs, and surrogates are dropped.
    return (c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF || c > 0xFFFF;
}

const char* replacement(UChar32 c) {
    switch (c) {
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '&': return "&amp;";
    case '"': return "&quot;";
    default: return nullptr;
    }
}

}  // namespace

XmlWriter::XmlWriter() {
    namespaceCounts_.push_back(2);
    for (const auto& [prefix, uri] : {std::pair<const char*, const char*>{"xml", kXmlNamespace},
                                      {"xmlns", kXmlnsNamespace}}) {
        namespaceURIs_.push_back(uri);
        namespaceWritten_.push_back(false);
        namespaceURIPrefixMap_[uri] = prefix;
        prefixNamespaceURIMap_[prefix] = uri;
    }
}

void XmlWriter::appendEscaped(std::string_view text) {
    // Unchanged runs are copied in one piece; only the units that change cost a step.
    try {
        const char* s = text.data();
        int32_t length = static_cast<int32_t>(text.size());
        int32_t i = 0;
        int32_t runStart = 0;
        while (i < length) {
            int32_t start = i;
            UChar32 c;
            U8_NEXT(s, i, length, c);
            const char* replaced = c >= 0 ? replacement(c) : nullptr;
            if (c >= 0 && !replaced && !dropped(c)) continue;
            writer_.append(s + runStart, start - runStart);
            if (replaced) writer_ += replaced;  // malformed bytes are dropped like controls
            runStart = i;
        }
        writer_.append(s + runStart, length - runStart);
    } catch (const std::bad_alloc&) {
        throw XmlWriterException(
            format("Could not allocate data buffer of %i unicode characters", kChunkUnits));
    }
}

void XmlWriter::writeNewLine(int depth) {
    if (lineBreak_) writer_ += *lineBreak_;
    if (indentation_)
        for (int i = 0; i < depth; ++i) writer_ += *indentation_;
}

std::string XmlWriter::qualifier(const std::optional<std::string>& uri) const {
    if (!uri || uri->empty()) return {};
    auto it = namespaceURIPrefixMap_.find(*uri);
    if (it == namespaceURIPrefixMap_.end())
        throw XmlWriterException(format("Unknown namespace URI %@", *uri));
    return it->second.empty() ? std::string() : it->second + ":";
}

void XmlWriter::writeStartDocumentWithEncodingAndVersion(const std::optional<std::string>& encoding,
                                                         const std::optional<std::string>& version) {
    if (!writer_.empty()) throw XmlWriterException("Document has already been started");
    writer_ += "<?xml version=\"";
    writer_ += version.value_or("1.0");
    writer_ += "\"";
    if (encoding) {
        writer_ += " encoding=\"" + *encoding + "\"";
        encoding_ = encoding;
    }
    writer_ += " ?>";
}

void XmlWriter::writeStartDocument() {
    writeStartDocumentWithEncodingAndVersion(std::nullopt, std::nullopt);
}

void XmlWriter::writeStartDocumentWithVersion(const std::optional<std::string>& version) {
    writeStartDocumentWithEncodingAndVersion(std::nullopt, version);
}

void XmlWriter::writeEndDocument() {
    while (level_ > 0) writeEndElement();
}

void XmlWriter::writeStartElementWithNamespace(const std::optional<std::string>& uri,
                                               const std::string& localName) {
    std::string prefix = qualifier(uri);
    if (openElement_) closeStartElement(">");
    writeNewLine(level_);
    writer_ += "<" + prefix + localName;
    elementLocalNames_.push_back(localName);
    elementNamespaceURIs_.push_back(uri.value_or(std::string()));
    openElement_ = true;
    emptyElement_ = true;
    ++level_;
}

void XmlWriter::writeStartElement(const std::string& name) {
    writeStartElementWithNamespace(std::nullopt, name);
}

void XmlWriter::writeAttributeWithNamespace(const std::optional<std::string>& uri,
                                            const std::string& localName, std::string_view value) {
    if (!openElement_) throw XmlWriterException("No open start element");
    writer_ += " " + qualifier(uri) + localName + "=\"";
    appendEscaped(value);
    writer_ += "\"";
}

void XmlWriter::writeAttribute(const std::string& name, std::string_view value) {
    writeAttributeWithNamespace(std::nullopt, name, value);
}

void XmlWriter::writeCharacters(std::string_view text) {
    if (openElement_) closeStartElement(">");
    appendEscaped(text);
    emptyElement_ = false;
}

void XmlWriter::writeEndElementWithNamespace(const std::optional<std::string>& uri,
                                             const std::string& localName) {
    if (level_ < 1) throw XmlWriterException("Cannot write more end elements than start elements.");
    std::string prefix = qualifier(uri);
    --level_;
    if (openElement_)
        closeStartElement(">");  // no content: the end tag follows on the same line
    else if (emptyElement_)
        writeNewLine(level_);
    writer_ += "</" + prefix + localName + ">";
    popNamespaces();
    if (!elementLocalNames_.empty()) {
        elementLocalNames_.pop_back();
        elementNamespaceURIs_.pop_back();
    }
    emptyElement_ = true;
    openElement_ = false;
}

void XmlWriter::writeEndElement(const std::string& name) {
    writeEndElementWithNamespace(std::nullopt, name);
}

void XmlWriter::writeEndElement() {
    if (openElement_ && automaticEmptyElements_) {
        closeStartElement(" />");
        popNamespaces();
        elementLocalNames_.pop_back();
        elementNamespaceURIs_.pop_back();
        emptyElement_ = true;
        openElement_ = false;
        --level_;
        return;
    }
    if (elementLocalNames_.empty()) {
        writeEndElementWithNamespace(std::nullopt, std::string());  // raises the level error
        return;
    }
    std::string uri = elementNamespaceURIs_.back();
    std::string name = elementLocalNames_.back();
    writeEndElementWithNamespace(uri, name);
}

void XmlWriter::writeEmptyElement(const std::string& name) {
    writeEmptyElementWithNamespace(std::nullopt, name);
}

void XmlWriter::writeEmptyElementWithNamespace(const std::optional<std::string>& uri,
                                               const std::string& localName) {
    std::string prefix = qualifier(uri);
    if (openElement_) closeStartElement(">");
    writeNewLine(level_);
    writer_ += "<" + prefix + localName + " />";
    emptyElement_ = true;
}

void XmlWriter::writeComment(std::string_view text) {
    if (openElement_) closeStartElement(">");
    writer_ += "<!--";
    writer_ += text;
    writer_ += "-->";
    emptyElement_ = false;
}

void XmlWriter::writeCData(std::string_view text) {
    if (openElement_) closeStartElement(">");
    // A "]]>" inside would end the section early and break the document: it is split across
    // two sections, which read back as the same text.
    writer_ += "<![CDATA[";
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("]]>", from)) != std::string_view::npos; from = at + 2) {
        writer_ += text.substr(from, at + 2 - from);
        writer_ += "]]><![CDATA[";
    }
    writer_ += text.substr(from);
    writer_ += "]]>";
    emptyElement_ = false;
}

void XmlWriter::writeProcessingInstruction(std::string_view target, std::string_view data) {
    if (openElement_) closeStartElement(">");
    writer_ += "<?";
    writer_ += target;
    writer_ += " ";
    writer_ += data;
    writer_ += "?>";
    emptyElement_ = false;
}

void XmlWriter::closeStartElement(std::string_view closing) {
    for (std::size_t i = namespaceCounts_.back(); i < namespaceURIs_.size(); ++i) {
        if (namespaceWritten_[i]) continue;
        const std::string& uri = namespaceURIs_[i];
        writeNamespaceDeclaration(namespaceURIPrefixMap_[uri], uri);
        namespaceWritten_[i] = true;
    }
    namespaceCounts_.push_back(namespaceURIs_.size());
    writer_ += closing;
    openElement_ = false;
}

void XmlWriter::writeNamespaceDeclaration(const std::string& prefix, const std::string& uri) {
    if (!openElement_) throw XmlWriterException("No open start element");
    auto xmlns = namespaceURIPrefixMap_.find(kXmlnsNamespace);
    if (xmlns == namespaceURIPrefixMap_.end())
        throw XmlWriterException(
            format("Cannot declare namespace without namespace %@", kXmlnsNamespace));
    writer_ += " " + xmlns->second;
    if (!prefix.empty()) writer_ += ":" + prefix;
    writer_ += "=\"";
    appendEscaped(uri);
    writer_ += "\"";
}

void XmlWriter::popNamespaces() {
    if (namespaceCounts_.size() < 2) return;
    namespaceCounts_.pop_back();
    // Every binding made since the enclosing element closed its start tag ends here, including
    // one made inside this element's content that no start tag has declared yet.
    std::size_t enclosing = namespaceCounts_.back();
    while (namespaceURIs_.size() > enclosing) {
        const std::string uri = namespaceURIs_.back();
        auto it = namespaceURIPrefixMap_.find(uri);
        if (it != namespaceURIPrefixMap_.end()) {
            prefixNamespaceURIMap_.erase(it->second);
            namespaceURIPrefixMap_.erase(it);
        }
        namespaceURIs_.pop_back();
        namespaceWritten_.pop_back();
    }
}

void XmlWriter::setPrefix(const std::optional<std::string>& prefix,
                          const std::optional<std::string>& uri) {
    if (!uri) throw XmlWriterException("Namespace cannot be NULL");
    if (!prefix) throw XmlWriterException("Prefix cannot be NULL");
    if (namespaceURIPrefixMap_.count(*uri))
        throw XmlWriterException(format("Name namespace %@ has already been set", *uri));
    if (prefixNamespaceURIMap_.count(*prefix)) {
        if (prefix->empty()) throw XmlWriterException("Default namespace has already been set");
        throw XmlWriterException(format("Prefix %@ has already been set", *prefix));
    }
    namespaceURIs_.push_back(*uri);
    namespaceURIPrefixMap_[*uri] = *prefix;
    prefixNamespaceURIMap_[*prefix] = *uri;
    if (openElement_) {
        writeNamespaceDeclaration(*prefix, *uri);
        namespaceWritten_.push_back(true);
    } else {
        namespaceWritten_.push_back(false);
    }
}

void XmlWriter::writeNamespace(const std::optional<std::string>& prefix,
                               const std::optional<std::string>& uri) {
    if (!openElement_) throw XmlWriterException("No open start element");
    setPrefix(prefix, uri);
}

void XmlWriter::setDefaultNamespace(const std::optional<std::string>& uri) {
    setPrefix(std::string(), uri);
}

void XmlWriter::writeDefaultNamespace(const std::optional<std::string>& uri) {
    writeNamespace(std::string(), uri);
}

std::optional<std::string> XmlWriter::getPrefix(const std::string& uri) const {
    auto it = namespaceURIPrefixMap_.find(uri);
    if (it == namespaceURIPrefixMap_.end()) return std::nullopt;
    return it->second;
}

std::optional<std::string> XmlWriter::getNamespaceURI(const std::string& prefix) const {
    auto it = prefixNamespaceURIMap_.find(prefix);
    if (it == prefixNamespaceURIMap_.end()) return std::nullopt;
    return it->second;
}

std::optional<std::string> XmlWriter::toData() const {
    // Through UTF-16, stopping at the first character the encoding cannot hold.
    UErrorCode status = U_ZERO_ERROR;
    int32_t units = 0;
    u_strFromUTF8(nullptr, 0, &units, writer_.data(), static_cast<int32_t>(writer_.size()), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return std::nullopt;
    std::u16string text(static_cast<std::size_t>(units), u'\0');
    status = U_ZERO_ERROR;
    u_strFromUTF8(text.data(), units, nullptr, writer_.data(), static_cast<int32_t>(writer_.size()),
                  &status);
    if (U_FAILURE(status)) return std::nullopt;

    status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, void (*)(UConverter*)> converter(
        ucnv_open(encoding_.value_or("UTF-8").c_str(), &status), ucnv_close);
    if (U_FAILURE(status) || !converter) return std::nullopt;
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    if (U_FAILURE(status)) return std::nullopt;
    int32_t size = ucnv_fromUChars(converter.get(), nullptr, 0, text.data(), units, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return std::nullopt;
    std::string data(static_cast<std::size_t>(size), '\0');
    status = U_ZERO_ERROR;
    ucnv_reset(converter.get());
    ucnv_fromUChars(converter.get(), data.data(), size, text.data(), units, &status);
    if (U_FAILURE(status)) return std::nullopt;
    return data;
}

}  // namespace torvane
