#include "OrderFile.h"

#include <fcntl.h>
#include <libxml/xmlreader.h>
#include <unistd.h>

#include <memory>
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

}  // namespace

std::optional<OrderSummary> OrderFile::read(const std::string& path) {
    CheckedInput input{::open(path.c_str(), O_RDONLY | O_CLOEXEC), {}};
    if (input.fd < 0) return std::nullopt;
    // The reader closes the input, also when it cannot be made.
    std::unique_ptr<xmlTextReader, void (*)(xmlTextReaderPtr)> reader(
        xmlReaderForIO(&CheckedInput::read, &CheckedInput::close, &input, path.c_str(), nullptr,
                       XML_PARSE_NONET | XML_PARSE_NOCDATA),
        xmlFreeTextReader);
    if (!reader) return std::nullopt;
    xmlTextReaderPtr r = reader.get();
    xmlTextReaderSetStructuredErrorHandler(r, ignoreErrors, nullptr);

    OrderSummary summary;
    std::string codiceCliente;
    std::vector<std::string> path_;  // the open elements
    bool sawRoot = false;
    int status = 0;
    while ((status = xmlTextReaderRead(r)) == 1) {
        const int type = xmlTextReaderNodeType(r);
        if (type == XML_READER_TYPE_DOCUMENT_TYPE) return std::nullopt;
        if (type == XML_READER_TYPE_ELEMENT) {
            sawRoot = true;
            const std::string name = text(xmlTextReaderConstLocalName(r));
            if (path_.size() == 2 && path_[1] == "Azienda" && name == "Ordine") {
                std::unique_ptr<xmlChar, void (*)(void*)> progressivo(
                    xmlTextReaderGetAttribute(r, BAD_CAST "Progressivo"), xmlFree);
                summary.numero = text(progressivo.get());
            }
            if (path_.size() == 3 && path_[2] == "Ordine" && name == "DettaglioOrdine") ++summary.righe;
            if (!xmlTextReaderIsEmptyElement(r)) path_.push_back(name);
        } else if (type == XML_READER_TYPE_END_ELEMENT) {
            if (!path_.empty()) path_.pop_back();
        } else if ((type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA) && !path_.empty()) {
            const std::string value = text(xmlTextReaderConstValue(r));
            const std::string& leaf = path_.back();
            const std::size_t depth = path_.size();
            if (depth == 3 && path_[1] == "Azienda" && leaf == "Username") summary.utente += value;
            else if (depth == 4 && path_[2] == "Ordine" && leaf == "Agente") summary.agente += value;
            else if (depth == 5 && path_[3] == "ClienteFornitore" && leaf == "RagioneSociale1") summary.cliente += value;
            else if (depth == 5 && path_[3] == "ClienteFornitore" && leaf == "Codice") codiceCliente += value;
        }
    }
    if (status != 0 || !sawRoot) return std::nullopt;
    if (summary.cliente.empty()) summary.cliente = codiceCliente;
    return summary;
}

}  // namespace torvane::fiera
