#include "OrderFile.h"

#include <fcntl.h>
#include <libxml/parser.h>
#include <unistd.h>

#include <memory>
#include <string_view>
#include <vector>

#include "AttributeLimit.h"

namespace torvane::fiera {

namespace {

void ignoreErrors(void*, xmlErrorPtr) {}

std::string text(const xmlChar* value) { return value ? reinterpret_cast<const char*>(value) : std::string(); }

// The file's bytes for the parser, each checked for a tag with too many attributes first.
struct CheckedInput {
    int fd = -1;
    AttributeLimit limit;

    static int read(void* context, char* buffer, int length) {
        auto& input = *static_cast<CheckedInput*>(context);
        const ssize_t got = ::read(input.fd, buffer, static_cast<std::size_t>(length));
        if (got < 0 || !input.limit.accept(buffer, static_cast<std::size_t>(got))) return -1;
        return static_cast<int>(got);
    }
    static int close(void* context) {
        auto& input = *static_cast<CheckedInput*>(context);
        const int closed = ::close(input.fd);
        input.fd = -1;
        return closed;
    }
};

// What one pass of the parser's events gathers.
struct Reading {
    xmlParserCtxtPtr parser = nullptr;
    OrderSummary summary;
    std::string codiceCliente;
    std::vector<std::string> open;  // the open elements
    bool sawRoot = false, declaresType = false;

    static Reading& of(void* context) { return *static_cast<Reading*>(context); }

    static void start(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*, int, const xmlChar**,
                      int attributeCount, int, const xmlChar** attributes) {
        Reading& r = of(context);
        r.sawRoot = true;
        const std::string name = text(localName);
        if (r.open.size() == 2 && r.open[1] == "Azienda" && name == "Ordine") {
            // Five pointers per attribute: local name, prefix, URI, value start and end.
            for (int i = 0; i < attributeCount; ++i) {
                const xmlChar** attribute = attributes + 5 * i;
                if (text(attribute[0]) == "Progressivo")
                    r.summary.numero.assign(reinterpret_cast<const char*>(attribute[3]),
                                            static_cast<std::size_t>(attribute[4] - attribute[3]));
            }
        }
        if (r.open.size() == 3 && r.open[2] == "Ordine" && name == "DettaglioOrdine") ++r.summary.righe;
        r.open.push_back(name);
    }
    static void end(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
        Reading& r = of(context);
        if (!r.open.empty()) r.open.pop_back();
    }
    static void characters(void* context, const xmlChar* bytes, int length) {
        Reading& r = of(context);
        if (r.open.size() < 3) return;
        const std::string_view value(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
        const std::string& leaf = r.open.back();
        const std::size_t depth = r.open.size();
        if (depth == 3 && r.open[1] == "Azienda" && leaf == "Username") r.summary.utente += value;
        else if (depth == 4 && r.open[2] == "Ordine" && leaf == "Agente") r.summary.agente += value;
        else if (depth == 5 && r.open[3] == "ClienteFornitore" && leaf == "RagioneSociale1") r.summary.cliente += value;
        else if (depth == 5 && r.open[3] == "ClienteFornitore" && leaf == "Codice") r.codiceCliente += value;
    }
    // Orders never declare a document type; entities could make a small file expand without end.
    static void documentType(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
        Reading& r = of(context);
        r.declaresType = true;
        xmlStopParser(r.parser);
    }
};

}  // namespace

std::optional<OrderSummary> OrderFile::read(const std::string& path) {
    CheckedInput input{::open(path.c_str(), O_RDONLY | O_CLOEXEC), {}};
    if (input.fd < 0) return std::nullopt;
    // Events only, no tree: the parser's own nodes are never made.
    xmlSAXHandler events{};
    events.initialized = XML_SAX2_MAGIC;
    events.startElementNs = &Reading::start;
    events.endElementNs = &Reading::end;
    events.characters = &Reading::characters;
    events.cdataBlock = &Reading::characters;
    events.internalSubset = &Reading::documentType;
    events.serror = &ignoreErrors;
    Reading reading;
    // The parser closes the input, also when it cannot be made.
    std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> parser(
        xmlCreateIOParserCtxt(&events, &reading, &CheckedInput::read, &CheckedInput::close, &input,
                              XML_CHAR_ENCODING_NONE),
        xmlFreeParserCtxt);
    if (!parser) return std::nullopt;
    reading.parser = parser.get();
    xmlCtxtUseOptions(parser.get(), XML_PARSE_NONET | XML_PARSE_NOCDATA);
    const bool parsed = xmlParseDocument(parser.get()) == 0 && parser->wellFormed;
    if (!parsed || reading.declaresType || !reading.sawRoot) return std::nullopt;
    if (reading.summary.cliente.empty()) reading.summary.cliente = reading.codiceCliente;
    return reading.summary;
}

}  // namespace torvane::fiera
