#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "review/OrderCatalogue.h"
#include "review/XmlWriter.h"
#include "store/Entities.h"

namespace torvane {

class Database;

// The order document the company's systems import: device and user identity, the whole
// client record (so new clients and edited destinations reach the office), the order's
// commercial data and one detail element per line, or per size when the order has sizes.
// It never refuses an order: missing records give empty elements, "Non trovata" for a unit
// and "Agente sconosciuto" for the agent.
class OrderXmlReport {
public:
    explicit OrderXmlReport(Database& db);

    // The document text (UTF-8).
    std::string build(const SceltaTestata& testata);
    // Builds and writes it, replacing the file atomically. False when it could not be written.
    bool write(const SceltaTestata& testata, const std::string& path);

private:
    void writeCliente(const std::optional<Cliente>& cliente);
    void writeDestinazioni(const Cliente& cliente);
    void writeDestinazione(const Destinazione& destinazione);
    void writeContatto(const char* tipo, const std::optional<std::string> (&values)[6]);
    void writeContatti(const std::optional<Cliente>& cliente);
    void writeAttributiCliente(const Cliente& cliente);
    void writeListino(const SceltaTestata& testata);
    void writeRighe(const SceltaTestata& testata, const std::vector<SceltaRiga>& righe);
    void writeRigaSenzaTaglie(const SceltaTestata& testata, const SceltaRiga& riga);
    void writeRigaConTaglie(const SceltaTestata& testata, const SceltaRiga& riga);
    void writeListinoApplicatoRiga(const SceltaTestata& testata, const SceltaRiga& riga);
    std::string unitaDiMisura(const SceltaTestata& testata, const SceltaRiga& riga);
    std::string codiceAgente(const SceltaTestata& testata, const std::optional<Cliente>& cliente);

    // (always): written in every case, empty when absent. (if set): only when present.
    void always(const std::string& name, const std::optional<std::string>& value);
    void ifSet(const std::string& name, const std::optional<std::string>& value);
    // (if set) for each text attribute of the record, the element named as the attribute with
    // a capital first letter.
    void ifSetEach(const Record& record, std::initializer_list<const char*> attributes);

    const std::vector<Parametro>& parametri(const std::string& prefix);

    Database& db_;
    OrderCatalogue catalogue_;
    XmlWriter writer_;
    std::map<std::string, std::vector<Parametro>> parametri_;
};

}  // namespace torvane
