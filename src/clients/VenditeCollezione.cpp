#include "clients/VenditeCollezione.h"

#include <exception>

#include "platform/Log.h"
#include "store/Database.h"
#include "store/StoreConnection.h"

namespace torvane {

namespace {

std::string testo(const SqlValue& value) {
    if (auto* s = std::get_if<std::string>(&value)) return *s;
    if (auto* n = std::get_if<long long>(&value)) return std::to_string(*n);
    return {};
}

// As the records read their decimals: exact text, an integer, or (from elsewhere) a real.
Decimal cifra(const SqlValue& value) {
    if (auto* s = std::get_if<std::string>(&value)) return Decimal::parse(*s).value_or(Decimal());
    if (auto* n = std::get_if<long long>(&value)) return Decimal::fromInteger(*n);
    if (auto* d = std::get_if<double>(&value)) return Decimal::fromDouble(*d);
    return {};
}

}  // namespace

std::optional<std::vector<VenditeCollezione::Articolo>> VenditeCollezione::leggi(Database& database,
                                                                                 const StatCollezione& collezione) {
    static constexpr const char* kQuery =
        "SELECT ar.id, ar.codice, bu.id, bu.codice, ti.id, ti.codice, ti.pezzi, ti.quantita, ti.valore "
        "FROM \"StatArticolo\" ar "
        "LEFT JOIN \"StatBusiness\" bu ON bu.statArticolo = ar.id "
        "LEFT JOIN \"StatTipo\" ti ON ti.business = bu.id "
        "WHERE ar.collezione = ? "
        "ORDER BY ar.codice, ar.id, bu.statArticoloPosizione, bu.id, ti.businessPosizione, ti.id";
    std::vector<SqlRow> rows;
    try {
        rows = database.connection()->query(kQuery, {SqlValue(collezione.id())});
    } catch (const std::exception& failure) {
        Log::f("Errore durante la lettura delle vendite della collezione: %@", failure.what());
        return std::nullopt;
    }
    std::vector<Articolo> articoli;
    long long corrente = -1;
    for (const SqlRow& row : rows) {
        const long long id = std::get<long long>(row.at(0));
        if (id != corrente) {
            corrente = id;
            articoli.push_back({testo(row.at(1)), false, {}});
        }
        Articolo& articolo = articoli.back();
        if (std::holds_alternative<std::monostate>(row.at(2))) continue;
        articolo.conBusiness = true;
        if (std::holds_alternative<std::monostate>(row.at(4))) continue;
        articolo.tipi.push_back({testo(row.at(3)), testo(row.at(5)), cifra(row.at(6)), cifra(row.at(7)), cifra(row.at(8))});
    }
    return articoli;
}

}  // namespace torvane
