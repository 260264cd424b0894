#include "review/DuplicaOrdine.h"

#include <stdexcept>

#include "rules/OrderCounter.h"
#include "store/OrderStoreUnit.h"
#include "platform/Log.h"
#include "store/Database.h"
#include "store/OrderStatus.h"

namespace torvane {

namespace {

constexpr const char* kCampiTestata[] = {"aaaAzienda",  "cliente",          "clienteRagioneSociale",
                                         "dataConsegna", "listinoTestata",  "note",
                                         "presenzaTaglie", "prioritaAssoluta", "prioritaRelativa",
                                         "tipo"};
constexpr const char* kCampiRiga[] = {"riga",     "articolo", "serie", "colore",  "varianteCommerciale",
                                      "listino",  "quantita", "prezzo", "nota",   "partita",
                                      "lavorazione"};
constexpr const char* kCampiTaglia[] = {"varianteCommerciale", "quantita", "prezzo"};

template <std::size_t N>
ColumnValues copia(const Record& record, const char* const (&campi)[N]) {
    ColumnValues values;
    for (const char* campo : campi) values.emplace_back(campo, record.column(campo));
    return values;
}

template <typename T>
T oppure(std::optional<T> made) {
    if (!made) throw std::runtime_error("rifiutato dal database");
    return std::move(*made);
}

}  // namespace

std::optional<long long> DuplicaOrdine::duplica(Database& db, const SceltaTestata& origine, Timestamp now) {
    OrderStoreUnit unit(db, "duplica_ordine");
    if (!unit.isOpen()) return std::nullopt;
    try {
        const long long numero = oppure(OrderCounter::next(db));
        ColumnValues testata = copia(origine, kCampiTestata);
        testata.emplace_back("dataCreazione", isoDateString(now));
        testata.emplace_back("status", stored(OrderStatus::Suspended));
        testata.emplace_back("flagDuplicato", 1LL);
        const SceltaTestata nuova = oppure(db.createSceltaTestataWithCodice(numero, std::move(testata)));
        for (const SceltaRiga& riga : oppure(db.fetchAllSceltaRigaByTestata(origine))) {
            const SceltaRiga copiata = oppure(db.createSceltaRigaForSceltaTestata(nuova, copia(riga, kCampiRiga)));
            for (const SceltaTaglia& taglia : riga.sceltaTaglie())
                oppure(db.createSceltaTagliaWithTaglia(taglia.taglia().value_or(""), copiata,
                                                       copia(taglia, kCampiTaglia)));
        }
        if (!unit.commit()) return std::nullopt;
        Log::f("Ordine %d duplicato nell'ordine %d", origine.codice().value_or(0), numero);
        return numero;
    } catch (const std::exception& failure) {
        Log::f("Duplicazione dell'ordine %d non riuscita: %@", origine.codice().value_or(0), failure.what());
        return std::nullopt;  // the unit undoes what was written
    }
}

}  // namespace torvane
