#include "loader/LoadResultAlert.h"

#include <utility>

#include "loader/CaricatoreDatabase.h"
#include "platform/Format.h"

namespace torvane {

std::optional<ui::Alert> LoadResultAlert::forLoader(const CaricatoreDatabase& loader) {
    switch (loader.result()) {
    case 0: {
        if (loader.tagsCaricati() < 0) return ui::Alert::simple("Completato !!", "I dati risultano aggiornati", "Ok");
        std::string message = "Per essere precisi, ho caricato\n";
        // Only the groups that received records are named.
        const std::pair<const char*, int> counters[] = {
            {"Clienti:%d ", loader.clientiCaricati()}, {"Listini:%d ", loader.listiniCaricati()},
            {"Prezzi:%d ", loader.prezziCaricati()},   {"Articoli:%d ", loader.articoliCaricati()},
            {"Colori:%d ", loader.coloriCaricati()},   {"Giacenze:%d ", loader.giacenzeCaricate()}};
        for (const auto& [pattern, counter] : counters)
            if (counter >= 1) message += format(pattern, counter);
        message += format("Tags:%d in %.0f sec.", loader.tagsCaricati(), loader.tempoImpiegato());
        return ui::Alert::simple("Completato !!", message, "Ok");
    }
    case 1:
        return ui::Alert::simple("Errore connessione!!!", "Controlla indirizzo HTTP", "OK");
    case 2:
        return ui::Alert::simple("Errore download!!!", "Non sono riuscito a caricare completamente i dati", "OK");
    case 3:
        return ui::Alert::simple("Errore caricamento!!!", "Dati inesistenti o XML errato", "OK");
    default:
        return std::nullopt;
    }
}

}  // namespace torvane
