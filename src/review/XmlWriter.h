#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "review/XmlWriterException.h"

namespace torvane {

// A small streaming XML writer appending to an in-memory text. It keeps the element stack and
// the indentation, escapes text and attribute values, declares namespaces on the next start
// tag, and writes an element without content in the short form.
//
// Layout with the defaults: every start tag on a new line indented by one tab per enclosing
// element, text on the line of its element, an element holding elements closed on its own
// line; the document does not end with a line break.
//
// Texts are UTF-8. Characters XML cannot carry are dropped from text and attribute values:
// controls below U+0020 except tab, line feed and carriage return, U+FFFE, U+FFFF and
// everything outside the Basic Multilingual Plane (the receiving systems read UCS-2).
class XmlWriter {
public:
    XmlWriter();

    // <?xml version="1.0" encoding="UTF-8" ?>; the encoding is remembered for toData.
    void writeStartDocumentWithEncodingAndVersion(const std::optional<std::string>& encoding,
                                                  const std::optional<std::string>& version);
    void writeStartDocument();
    void writeStartDocumentWithVersion(const std::optional<std::string>& version);
    void writeEndDocument();

    // A URI of none (or empty) means no namespace; a bound URI writes its prefix.
    void writeStartElementWithNamespace(const std::optional<std::string>& uri,
                                        const std::string& localName);
    void writeStartElement(const std::string& name);
    void writeAttributeWithNamespace(const std::optional<std::string>& uri,
                                     const std::string& localName, std::string_view value);
    void writeAttribute(const std::string& name, std::string_view value);
    void writeCharacters(std::string_view text);
    void writeEndElementWithNamespace(const std::optional<std::string>& uri,
                                      const std::string& localName);
    void writeEndElement(const std::string& name);
    // Ends the innermost element; one without content in the short form.
    void writeEndElement();
    void writeEmptyElement(const std::string& name);
    void writeEmptyElementWithNamespace(const std::optional<std::string>& uri,
                                        const std::string& localName);
    void writeComment(std::string_view text);
    void writeCData(std::string_view text);
    void writeProcessingInstruction(std::string_view target, std::string_view data);

    // Binds a namespace; it is declared in the pending start tag, else in the next one.
    void setPrefix(const std::optional<std::string>& prefix,
                   const std::optional<std::string>& uri);
    // Binds and declares in the pending start tag.
    void writeNamespace(const std::optional<std::string>& prefix,
                        const std::optional<std::string>& uri);
    void setDefaultNamespace(const std::optional<std::string>& uri);
    void writeDefaultNamespace(const std::optional<std::string>& uri);
    std::optional<std::string> getPrefix(const std::string& uri) const;
    std::optional<std::string> getNamespaceURI(const std::string& prefix) const;

    std::string toString() const { return writer_; }
    // The text in the encoding given at document start (UTF-8 without one); none when a
    // character cannot be represented in it or the encoding is unknown.
    std::optional<std::string> toData() const;
    void flush() {}
    void close() {}

    int level() const { return level_; }
    const std::optional<std::string>& indentation() const { return indentation_; }
    void setIndentation(std::optional<std::string> indentation) { indentation_ = std::move(indentation); }
    const std::optional<std::string>& lineBreak() const { return lineBreak_; }
    void setLineBreak(std::optional<std::string> lineBreak) { lineBreak_ = std::move(lineBreak); }
    bool automaticEmptyElements() const { return automaticEmptyElements_; }
    void setAutomaticEmptyElements(bool on) { automaticEmptyElements_ = on; }

private:
    void closeStartElement(std::string_view closing);
    void writeNamespaceDeclaration(const std::string& prefix, const std::string& uri);
    void popNamespaces();
    void writeNewLine(int depth);
    // The prefix and ":" for a namespaced name; throws for an unbound URI.
    std::string qualifier(const std::optional<std::string>& uri) const;
    void appendEscaped(std::string_view text);

    std::string writer_;
    std::optional<std::string> encoding_;
    int level_ = 0;
    bool openElement_ = false;
    bool emptyElement_ = false;
    std::vector<std::string> elementLocalNames_;
    std::vector<std::string> elementNamespaceURIs_;
    std::vector<std::string> namespaceURIs_;
    std::vector<bool> namespaceWritten_;
    std::vector<std::size_t> namespaceCounts_;
    std::map<std::string, std::string> namespaceURIPrefixMap_;
    std::map<std::string, std::string> prefixNamespaceURIMap_;
    std::optional<std::string> indentation_ = std::string("\t");
    std::optional<std::string> lineBreak_ = std::string("\n");
    bool automaticEmptyElements_ = true;
};

}  // namespace torvane
