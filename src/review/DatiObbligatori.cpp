#include "review/DatiObbligatori.h"

#include "platform/Format.h"
#include "platform/Log.h"
#include "review/RivediSceltaContent.h"
#include "store/Database.h"

namespace torvane {


std::vector<std::string> DatiObbligatori::destinazione(Database& db, const std::optional<Cliente>& cliente,
                                                       const std::optional<ClienteInfo>& infoDestinazione) {
    auto parametri = db.fetchAllMatchesParametro("OBB-DES-").value_or(std::vector<Parametro>{});
    return controlla(parametri, "Parametro OBB-DES- CODICE=%@ DESCRIZIONE=%@ VALORE=%@", "DES-", cliente,
                     infoDestinazione);
}

std::vector<std::string> DatiObbligatori::nuovoCliente(Database& db, const Cliente& cliente) {
    const std::string codice = cliente.codice().value_or("");
    if (codice.rfind("NEW", 0) != 0) return {};
    auto parametri = db.fetchAllMatchesParametro("NEC-").value_or(std::vector<Parametro>{});
    if (parametri.empty()) return {};
    if (cliente.tipo().value_or("") == "EXTRACEE")
        std::erase_if(parametri, [](const Parametro& p) { return p.attributo().value_or("") == "NEC-DATIFISCALI"; });
    return controlla(parametri, "Parametro Necessario CODICE=%@ DESCRIZIONE=%@ VALORE=%@", "ATT-", cliente,
                     db.fetchClienteInfoByCodice(codice));
}

std::vector<std::string> DatiObbligatori::controlla(const std::vector<Parametro>& parametri, const char* titoloLog,
                                                    const std::string& prefissoAttributo,
                                                    const std::optional<Cliente>& cliente,
                                                    const std::optional<ClienteInfo>& info) {
    std::vector<std::string> mancanti;
    for (const Parametro& parametro : parametri) {
        const std::string valore = parametro.valore().value_or("");
        const std::string descrizione = parametro.descrizione().value_or("");
        Log::f(titoloLog, parametro.attributo().value_or(""), descrizione, valore);
        if (soddisfatto(valore, prefissoAttributo, cliente, info)) continue;
        mancanti.push_back(descrizione.empty() ? format("Imposta %@ !", valore) : descrizione);
    }
    return mancanti;
}

bool DatiObbligatori::soddisfatto(const std::string& valore, const std::string& prefissoAttributo,
                                  const std::optional<Cliente>& cliente, const std::optional<ClienteInfo>& info) {
    for (const std::string& alternativa : RivediSceltaContent::parti(valore, ';')) {
        Log::f("    ATTRIBUTO=%@", alternativa);
        const auto parti = RivediSceltaContent::parti(alternativa, '.');
        if (parti.size() != 2) {
            Log::line("    scartato ...");
            continue;
        }
        const std::string& tabella = parti[0];
        std::string attributo = parti[1];
        Log::f("        TAB=%@ ATTR=%@", tabella, attributo);
        if (attributo.size() >= 4 && attributo.rfind(prefissoAttributo, 0) == 0) {
            // A name without a number in range reads nothing: the alternative stays empty.
            attributo = RivediSceltaContent::attributoNumerato(attributo, prefissoAttributo).value_or("");
            Log::f("        ATTR rinominato in %@", attributo);
        }
        std::optional<std::string> letto;
        if (tabella == "Cliente" && cliente)
            letto = cliente->stringValue(attributo);
        else if (tabella == "ClienteInfo" && info)
            letto = info->stringValue(attributo);
        if (letto && !letto->empty()) return true;
    }
    return false;
}

}  // namespace torvane
