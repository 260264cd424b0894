#include "review/OrderCatalogue.h"

#include "store/Database.h"

namespace torvane {

std::optional<Articolo> OrderCatalogue::articolo(const std::optional<std::string>& codice) {
    if (!codice) return std::nullopt;
    auto found = articoli_.find(*codice);
    if (found == articoli_.end()) found = articoli_.emplace(*codice, db_.fetchArticoloByCodice(*codice)).first;
    return found->second;
}

std::optional<Listino> OrderCatalogue::listino(const std::optional<std::string>& barCode) {
    if (!barCode) return std::nullopt;
    auto found = listini_.find(*barCode);
    if (found == listini_.end()) found = listini_.emplace(*barCode, db_.fetchListinoByBarCode(*barCode)).first;
    return found->second;
}

}  // namespace torvane
