#pragma once

#include <map>
#include <optional>
#include <string>

#include "store/Entities.h"

namespace torvane {

class Database;

// The catalogue records an order document refers to by code, each looked up once per
// document: a 1000-line order names the same few articles and price lists over and over.
// Orders keep codes, not links, so any of them may be missing after a reload.
class OrderCatalogue {
public:
    explicit OrderCatalogue(Database& db) : db_(db) {}

    std::optional<Articolo> articolo(const std::optional<std::string>& codice);
    std::optional<Listino> listino(const std::optional<std::string>& barCode);

private:
    Database& db_;
    std::map<std::string, std::optional<Articolo>> articoli_;
    std::map<std::string, std::optional<Listino>> listini_;
};

}  // namespace torvane
