#include "rules/AgentResolver.h"

#include <vector>

#include "platform/Log.h"

namespace torvane {

namespace {
std::vector<std::string> splitAtSemicolons(const std::string& text) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        auto end = text.find(';', start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}
}  // namespace

std::string AgentResolver::resolve(const std::optional<std::string>& prefAgente, const std::optional<Cliente>& cliente,
                                   const std::optional<Listino>& listino) {
    if (!prefAgente || prefAgente->empty()) return kUnknown;
    const std::vector<std::string> parts = splitAtSemicolons(*prefAgente);
    std::optional<std::string> agente;
    if (parts.size() == 1) {
        agente = parts.front();
        Log::f("Ordine fatto con il mio CodiceAgente : %@", nullptr);
        Log::f("Ordine fatto con il mio Codice Agente : %@ (PREF=:%@:)", *agente, *prefAgente);
    } else {
        const std::optional<std::string> businessUnit = listino ? listino->businessUnit() : std::nullopt;
        if (cliente) {
            for (const AgenteCompetenza& assegnazione : cliente->agenti()) {
                const auto unit = assegnazione.businessUnit();
                if (!unit || unit->empty()) {
                    agente = assegnazione.agente().value_or("");
                    Log::f("Ordine fatto con il Codice Agente x tutte le BU : %@", *agente);
                    break;
                }
                if (businessUnit && *unit == *businessUnit) {
                    agente = assegnazione.agente().value_or("");
                    Log::f("Ordine fatto con il Codice Agente : %@  per la BU %@", *agente, *unit);
                    break;
                }
            }
        }
        if (!agente) agente = parts.front();
    }
    if (agente->empty()) return kUnknown;
    return *agente;
}

}  // namespace torvane
