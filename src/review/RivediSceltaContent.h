#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Decimal.h"
#include "platform/ui/ScreenModel.h"
#include "store/Entities.h"

namespace torvane {

class Database;

// The texts of the order review that depend only on the records: the summary, a line's
// description and amount, the destination's lines and the picker's entries. Kept apart from
// the screen so that the sums and the descriptions are the same wherever they are shown.
class RivediSceltaContent {
public:
    struct Riepilogo {
        std::vector<std::string> descrizioni;
        std::vector<std::string> valori;
    };

    // "Totale IVA escl." (only with lines), "Pagamento", "Spedizioniere", "Abbonamento", "Classe".
    static Riepilogo riepilogo(Database& db, const std::vector<SceltaRiga>& righe, const std::optional<Cliente>& cliente,
                               const std::optional<Listino>& listino);
    // The sum of the lines' amounts; a line without a price adds nothing.
    static Decimal totale(const std::vector<SceltaRiga>& righe);

    // The article's descriptions, the colour's when asked, then (lines without sizes) the lot
    // and the finishing.
    static std::string descrizioneRiga(Database& db, const SceltaRiga& riga, bool conColore, bool conPartita);
    // "ART/SERIE" when the line has a series, else the article code.
    static std::string articoloRiga(const SceltaRiga& riga);

    // The destination row's labels: code, names, address, post code, city (province), country;
    // all empty without a destination.
    static std::vector<std::string> righeDestinazione(const std::optional<Destinazione>& destinazione);
    // "[code] name1 name2" for the destination picker.
    static std::string voceDestinazione(const Destinazione& destinazione);
    // The agent's name, its code when unknown, "Agente sconosciuto" without either.
    static std::string nomeAgente(Database& db, const std::optional<std::string>& codice);

    // `attribute`n of an extra-data record for a parameter "PREFIX-n"; none when the name holds
    // no number in 1…30.
    // The parts of `text` between `separator`s, empty ones included ("a;;b" has three).
    static std::vector<std::string> parti(const std::string& text, char separator);

    static std::optional<std::string> attributoNumerato(const std::string& attributo, const std::string& prefisso);
};

}  // namespace torvane
