#include "review/OrderTextReport.h"

#include <vector>

#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/NumberFormat.h"
#include "platform/AtomicFile.h"
#include "review/ReportText.h"
#include "store/Database.h"

namespace torvane {

namespace {

const std::string kRule = std::string(67, '-') + "\n";
constexpr const char* kColumns = "|   Articolo / Serie      |   Colore   |  Prezzo  |VC|UM|  Q.ta    |\n";

}  // namespace

std::string OrderTextReport::build(const SceltaTestata& testata) {
    auto righe = db_.fetchAllSceltaRigaByTestata(testata).value_or(std::vector<SceltaRiga>{});
    Log::f("Report TXT : Scelta %@ - Scelte presenti %d", testata.codice(), static_cast<long long>(righe.size()));
    auto cliente = testata.cliente() ? db_.fetchClienteByCodice(*testata.cliente()) : std::nullopt;
    auto listino = testata.listinoTestata() ? db_.fetchListinoByBarCode(*testata.listinoTestata()) : std::nullopt;
    std::optional<std::string> um = listino ? listino->um() : std::nullopt;

    const NumberFormat prezzoFormat("###,##0.00");
    const NumberFormat quantitaFormat = NumberFormat::plainDecimal();

    std::string text = format("Ordine: %@   Listino: %@\n\n", cliente ? textOf(cliente->ragioneSociale1()) : "",
                              listino ? textOf(listino->descrizione()) : "");
    text += kRule;
    text += kColumns;
    text += kRule;
    for (const auto& riga : righe) {
        std::string articolo = textOf(riga.articolo());
        if (hasText(riga.serie())) articolo = format("%@/%@", articolo, *riga.serie());
        auto prezzo = riga.prezzo();
        auto quantita = riga.quantita();
        std::string unita = "   ";
        if (textOf(riga.colore()) == "T+CC")
            unita = " N.";
        else if (hasText(um))
            unita = stringByPaddingLeft(um, 3);

        text += stringByPaddingLeft(articolo, 26);
        text += stringByPaddingLeft(riga.colore(), 13);
        text += stringByPaddingLeft(prezzo ? prezzoFormat.format(*prezzo) : std::string(), 11);
        text += hasText(riga.varianteCommerciale()) ? stringByPaddingLeft(riga.varianteCommerciale(), 3) : "   ";
        text += unita;
        text += stringByPaddingLeft(quantita ? quantitaFormat.format(*quantita) : std::string(), 11);
        text += "\n";
    }
    text += "\n";
    if (auto note = testata.note()) text += *note;
    text += "\n";
    return text;
}

bool OrderTextReport::write(const SceltaTestata& testata, const std::string& path) {
    return writeFileAtomically(path, build(testata));
}

}  // namespace torvane
