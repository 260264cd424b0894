#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/NumberFormat.h"
#include "review/OrderCatalogue.h"
#include "store/Entities.h"

namespace torvane {

class Database;

// The customer's order confirmation ("Proposta di ordine") sent as the e-mail body: per price
// list a section with the logo, destination and client, terms, one row per article with its
// technical data, photo, colour, sizes and prices, the total, the note and the signature.
// An order whose lines carry their own price lists ("LISTINOCAMBIATO") gets one section per
// price list. Every text taken from the store is escaped; attribute values are quoted.
class OrderHtmlReport {
public:
    explicit OrderHtmlReport(Database& db);

    // The page, or none when a "LISTINOCAMBIATO" order has no price list on its lines.
    std::optional<std::string> build(const SceltaTestata& testata);

private:
    struct Section {
        std::string codice;
        std::optional<Listino> listino;
        bool perListino = false;  // a "LISTINOCAMBIATO" order: only this price list's lines
    };

    void writeSection(const SceltaTestata& testata, const std::vector<SceltaRiga>& righe, const Section& section);
    void writeDestinazione(const SceltaTestata& testata);
    void writeCliente(const SceltaTestata& testata);
    void writeTitolo(const SceltaTestata& testata, const Section& section);
    void writeCondizioni();
    void writeIntestazioni(const SceltaTestata& testata, const Section& section);
    // The row of one line; returns what it adds to the section's total.
    Decimal writeRiga(const SceltaRiga& riga, const Section& section);
    void writeCellaArticolo(const SceltaRiga& riga, const std::optional<Articolo>& articolo, bool conTaglie);
    void writeCellaColore(const SceltaRiga& riga, const std::optional<Articolo>& articolo, bool conTaglie);
    void writeTabellaPrezzi(const SceltaRiga& riga, const std::optional<Articolo>& articolo, const Section& section,
                            bool perTCC);
    std::optional<std::string> nomeGruppo(const std::optional<Articolo>& articolo, const std::string& variante);
    std::optional<std::string> nomeVariante(const std::string& variante);
    void row(const std::string& text);

    Database& db_;
    OrderCatalogue catalogue_;
    std::optional<Cliente> cliente_;
    bool conPrezzi_ = false;
    bool conFoto_ = false;
    std::string fotoUrl_;
    NumberFormat prezzoFormat_;
    NumberFormat quantitaFormat_;
    NumberFormat interoFormat_;
    std::string out_;
};

}  // namespace torvane
