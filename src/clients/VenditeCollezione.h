#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Decimal.h"
#include "store/Entities.h"

namespace torvane {

class Database;

// The sales of every article of one collection, read in a single query instead of one per
// record: a detail of 20 collections of 200 articles would otherwise make some 60,000.
class VenditeCollezione {
public:
    struct Tipo {
        std::string business, codice;
        Decimal pezzi, quantita, valore;
    };
    struct Articolo {
        std::string codice;
        bool conBusiness = false;  // false: the article has no business records at all
        std::vector<Tipo> tipi;    // in the order of their businesses and types
    };

    // The articles in ascending code order; none when the store fails (logged).
    static std::optional<std::vector<Articolo>> leggi(Database& database, const StatCollezione& collezione);
};

}  // namespace torvane
