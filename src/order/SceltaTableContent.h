#pragma once

#include <optional>
#include <string>
#include <vector>

#include "rules/SceltaCorrente.h"
#include "platform/ui/ScreenModel.h"

namespace torvane {

class Database;
class Preferences;

// What the order-entry screen shows for the line being composed: always seven sections
// (client, price list, article with its prices, colour or size summary, quantity,
// confirmation, note). A pure reading of the state and the store: drawing never writes.
class SceltaTableContent {
public:
    enum Sezione { SezioneCliente = 0, SezioneListino, SezioneArticolo, SezioneColore, SezioneQuantita, SezioneConferma, SezioneNota };
    static constexpr int kSezioni = 7;

    struct Context {
        const SceltaCorrente& scelta;
        Database* database;  // none: no store is open
        const Preferences& preferences;
        // The handheld scanner's device number while it is connected.
        std::optional<std::string> handheldConnesso;
    };

    static std::vector<ui::Section> sections(const Context& context);

    // The number of lines of the current order (0 without one).
    static long long righeOrdine(const Context& context);

    // The entry of a colour in the colour picker: "%@ %@" (code, then the variant alone when
    // the price list has no plain price for it, else currency, price and variant).
    static std::string voceColore(const Colore& colore, const std::vector<Prezzo>& prezzi,
                                  const std::optional<std::string>& divisa);

private:
    static ui::Section sezioneCliente(const Context& context);
    static ui::Section sezioneListino(const Context& context);
    static ui::Section sezioneArticolo(const Context& context);
    static ui::Section sezioneColore(const Context& context);
    static ui::Section sezioneQuantita(const Context& context);
    static ui::Section sezioneConferma(const Context& context);
    static ui::Section sezioneNota(const Context& context);
    static ui::Row rigaPrezzo(const Context& context, const Prezzo& prezzo);
};

}  // namespace torvane
