#pragma once

#include <optional>
#include <string>
#include <vector>

#include "store/Entities.h"

namespace torvane {

// The order line being composed on the order-entry screen, with the order it belongs to and
// what the last confirmed line leaves behind for "Prev.". Records are light handles, so a
// value read from them is always the store's current one.
struct SceltaCorrente {
    std::optional<SceltaTestata> sceltaTestataCorrente;
    std::optional<Cliente> clienteCorrente;
    std::optional<Listino> listinoCorrente;
    std::vector<Listino> listiniListaCombo;
    std::optional<Articolo> articoloCorrente;
    std::optional<ArticoloListino> articoloListinoCorrente;
    std::vector<Prezzo> prezziArticolo;
    std::optional<std::string> serieCorrente;
    std::optional<Colore> coloreCorrente;
    std::optional<std::string> coloreDigitato;
    bool coloreTCC = false;
    std::optional<Giacenza> giacenzaCorrente;
    double quantitaCorrente = 0;
    std::optional<std::string> notaCorrente;
    bool immissioneNotaInCorso = false;
    std::optional<Articolo> articoloLast;
    std::optional<std::string> serieLast;
    double quantitaLast = 0;
    bool autoTccSwitch = false;
    bool gestiscoTaglie = false;

    // Everything of the line itself; client, price list and order stay.
    void clearLine() {
        articoloCorrente.reset();
        articoloListinoCorrente.reset();
        serieCorrente.reset();
        giacenzaCorrente.reset();
        prezziArticolo.clear();
        coloreCorrente.reset();
        coloreDigitato.reset();
        coloreTCC = false;
        quantitaCorrente = 0;
        notaCorrente.reset();
    }
    // The client, the price list and what "Prev." would propose.
    void clearClientAndMemory() {
        clienteCorrente.reset();
        listinoCorrente.reset();
        articoloLast.reset();
        serieLast.reset();
    }
};

// An article sold by size carries the code of its size group.
inline bool hasSizeGroup(const Articolo& articolo) { return !articolo.tagliaGruppo().value_or("").empty(); }

}  // namespace torvane
