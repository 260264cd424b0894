#include "OrderFile.h"

#include <libxml/xmlreader.h>

#include <memory>
#include <vector>

namespace torvane::fiera {

namespace {

void ignoreErrors(void*, xmlErrorPtr) {}

std::string text(const xmlChar* value) { return value ? reinterpret_cast<const char*>(value) : std::string(); }

}  // namespace

std::optional<OrderSummary> OrderFile::read(const std::string& path) {
    std::unique_ptr<xmlTextReader, void (*)(xmlTextReaderPtr)> reader(
        xmlReaderForFile(path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOCDATA), xmlFreeTextReader);
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
