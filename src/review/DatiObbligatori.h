#pragma once

#include <optional>
#include <string>
#include <vector>

#include "store/Entities.h"

namespace torvane {

class Database;

// The company's mandatory-data parameters, tested before an order leaves. Each parameter's
// value lists alternatives "Table.attribute" separated by ";"; it is satisfied when one of
// them gives a non-empty text. The results are the messages to show, one per unsatisfied
// parameter, in the store's order.
class DatiObbligatori {
public:
    // "OBB-DES-…": the client, or the chosen destination's extra data ("ClienteInfo"), whose
    // "DES-n" names attribute n.
    static std::vector<std::string> destinazione(Database& db, const std::optional<Cliente>& cliente,
                                                 const std::optional<ClienteInfo>& infoDestinazione);
    // "NEC-…" for a client made on the device: the client, or its own extra data, whose
    // "ATT-n" names attribute n. "NEC-DATIFISCALI" does not apply to a client outside the EU.
    static std::vector<std::string> nuovoCliente(Database& db, const Cliente& cliente);

private:
    static std::vector<std::string> controlla(const std::vector<Parametro>& parametri, const char* titoloLog,
                                              const std::string& prefissoAttributo, const std::optional<Cliente>& cliente,
                                              const std::optional<ClienteInfo>& info);
    static bool soddisfatto(const std::string& valore, const std::string& prefissoAttributo,
                            const std::optional<Cliente>& cliente, const std::optional<ClienteInfo>& info);
};

}  // namespace torvane
