#include "loader/LoadResultAlert.h"

#include "loader/CaricatoreDatabase.h"
#include "platform/Format.h"

namespace torvane {

std::optional<ui::Alert> LoadResultAlert::forLoader(const CaricatoreDatabase& loader) {
    switch (loader.result()) {
    case 0: {
        if (loader.tagsCaricati() < 0) return ui::Alert::simple("Completato !!", "I dati risultano aggiornati", "Ok");
        std::string message = "Per essere precisi, ho caricato\n";
        auto add = [&](const char* pattern, int counter) {
            if (counter >= 1) message += format(pattern, counter);
        };
        add("Clienti:%d ", loader.clientiCaricati());
        add("Listini:%d ", loader.listiniCaricati());
        add("Prezzi:%d ", loader.prezziCaricati());
        add("Articoli:%d ", loader.articoliCaricati());
        add("Colori:%d ", loader.coloriCaricati());
        add("Giacenze:%d ", loader.giacenzeCaricate());
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
