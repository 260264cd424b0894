#include "rules/PriceResolver.h"

#include "store/Database.h"

namespace torvane {

Decimal PriceResolver::resolve(Database& database, const std::string& listino, const std::string& articolo,
                               const std::string& varianteCommerciale, double quantita) {
    const Decimal q = Decimal::fromDouble(quantita);
    // Surcharged rows come in ascending surcharge code; the first whose range holds the
    // quantity decides, and a zero there means the plain price.
    if (auto surcharged = database.fetchPrezziConMaggiorazioniByListino(listino, articolo, varianteCommerciale)) {
        for (const Prezzo& prezzo : *surcharged) {
            auto codice = prezzo.maggiorazione();
            if (!codice) continue;
            auto maggiorazione = database.fetchMaggiorazioneByCodice(*codice);
            if (!maggiorazione) continue;
            auto from = maggiorazione->rangeFrom();
            auto to = maggiorazione->rangeTo();
            if (!from || !to || !(*to > *from)) continue;
            if (q < *from || q > *to) continue;
            auto valore = prezzo.valore();
            if (valore && !valore->isZero()) return *valore;
            break;
        }
    }
    if (auto plain = database.fetchPrezzoByListino(listino, articolo, varianteCommerciale)) {
        if (auto valore = plain->valore()) return *valore;
    }
    return Decimal();
}

}  // namespace torvane
