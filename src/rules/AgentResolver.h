#pragma once

#include <optional>
#include <string>

#include "store/Entities.h"

namespace torvane {

// The agent an order is made by. The agent's own setting holds one code, or one code per
// business unit separated by ";" (the login writes every code followed by ";"); with several,
// the client's agent assignments choose the one of the price list's business unit.
class AgentResolver {
public:
    static constexpr const char* kUnknown = "Agente sconosciuto";

    static std::string resolve(const std::optional<std::string>& prefAgente, const std::optional<Cliente>& cliente,
                               const std::optional<Listino>& listino);
};

}  // namespace torvane
