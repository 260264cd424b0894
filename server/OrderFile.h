#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace torvane::fiera {

// What the page shows of one stored order, read from its document.
struct OrderSummary {
    std::string utente;   // Azienda/Username
    std::string agente;   // Ordine/Agente
    std::string cliente;  // the client's RagioneSociale1, else its Codice
    std::string numero;   // Ordine's Progressivo
    std::size_t righe = 0;  // DettaglioOrdine elements
};

// Reads an order document as a stream (a 20 MB order is never held as a tree). The same
// reading decides whether an upload is kept: a file that is not well-formed XML, or that
// carries a document type declaration (orders never do; entities could make a small file
// expand without end), gives none.
class OrderFile {
public:
    static std::optional<OrderSummary> read(const std::string& path);
};

}  // namespace torvane::fiera
