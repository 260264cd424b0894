#include "rules/OrderLineWriter.h"

#include <chrono>
#include <utility>
#include <vector>

#include "rules/AgentResolver.h"
#include "rules/LineAmount.h"
#include "rules/OrderCounter.h"
#include "store/OrderStoreUnit.h"
#include "rules/PriceResolver.h"
#include "rules/SceltaCorrente.h"
#include "platform/Format.h"
#include "platform/IsoDate.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "store/Database.h"
#include "store/OrderStatus.h"

namespace torvane {

namespace {

constexpr const char* kListinoCambiato = "LISTINOCAMBIATO";
constexpr const char* kNoVariante = "  ";

SqlValue valueOf(const std::optional<std::string>& text) { return text ? SqlValue(*text) : SqlValue(); }

// A header names one price list while all its lines share it; a line of another list marks
// it for good. The setter only logs a refusal, so the value is read back.
bool markListino(const SceltaTestata& testata, const std::string& listino) {
    const std::optional<std::string> attuale = testata.listinoTestata();
    if (attuale == listino || attuale == kListinoCambiato) return true;
    testata.setListinoTestata(std::string(kListinoCambiato));
    return testata.listinoTestata() == kListinoCambiato;
}

bool hasOrderedSize(const Articolo& articolo) {
    for (const ColoreSxBarra& radice : articolo.coloriSxbarra())
        for (const TempSceltaTaglia& temp : radice.tempSceltaTaglie())
            if (temp.quantita().value_or(0) >= 1) return true;
    return false;
}

}  // namespace

OrderLineWriter::Outcome OrderLineWriter::write(const SceltaCorrente& scelta) {
    const Articolo& articolo = *scelta.articoloCorrente;
    const bool perTaglie = hasSizeGroup(articolo);
    std::optional<SceltaTestata> testata = scelta.sceltaTestataCorrente;
    if (!testata && perTaglie && !hasOrderedSize(articolo)) {
        // An order begins with its first line: a grid left at 0 makes none.
        Log::f("Nessuna Taglia ordinata per ARTICOLO %@: nessun nuovo ordine", articolo.codice());
        return {true, std::nullopt};
    }
    OrderStoreUnit unit(database_, "conferma_riga");
    if (!unit.isOpen()) return {};
    if (!testata) testata = createTestata(scelta);
    const bool written = testata && (perTaglie ? writeSizes(scelta, *testata) : writePlain(scelta, *testata));
    // Anything short of a commit leaves the unit to be undone.
    if (!written || !unit.commit()) return {};
    return {true, testata};
}

std::optional<SceltaTestata> OrderLineWriter::createTestata(const SceltaCorrente& scelta) {
    const std::optional<long long> numero = OrderCounter::next(database_);
    if (!numero) return std::nullopt;
    const Cliente& cliente = *scelta.clienteCorrente;
    const Preferences& preferences = Preferences::standard();
    const std::string agente =
        AgentResolver::resolve(preferences.stringForKey(keys::pref_agente), cliente, scelta.listinoCorrente);
    Log::f("Agente : %@", agente);
    ColumnValues values{{"cliente", valueOf(cliente.codice())},
                        {"clienteRagioneSociale", valueOf(cliente.ragioneSociale1())},
                        {"listinoTestata", valueOf(scelta.listinoCorrente->barCode())},
                        {"status", stored(OrderStatus::Open)},
                        {"dataCreazione", isoDateString(std::chrono::system_clock::now())},
                        {"aaaAzienda", valueOf(preferences.stringForKey(keys::pref_aziendaAttiva))},
                        {"tipo", valueOf(preferences.stringForKey(keys::pref_TIPOORDINE))},
                        {"agente", agente}};
    for (const Destinazione& destinazione : cliente.destinazioni()) {
        if (destinazione.abituale().value_or(false)) {
            values.emplace_back("clienteDestinazione", valueOf(destinazione.codice()));
            break;
        }
    }
    if (hasSizeGroup(*scelta.articoloCorrente)) values.emplace_back("presenzaTaglie", 1LL);
    return database_.createSceltaTestataWithCodice(*numero, std::move(values));
}

bool OrderLineWriter::writePlain(const SceltaCorrente& scelta, const SceltaTestata& testata) {
    const std::string articolo = scelta.articoloCorrente->codice().value_or("");
    const std::string listino = scelta.listinoCorrente->barCode().value_or("");
    ColumnValues values{{"articolo", articolo}, {"listino", listino}};
    if (scelta.coloreTCC) {
        values.emplace_back("colore", std::string("T+CC"));
        values.emplace_back("varianteCommerciale", std::string(kNoVariante));
    } else {
        const std::optional<std::string> variante =
            scelta.coloreCorrente ? scelta.coloreCorrente->varianteCommerciale() : std::nullopt;
        Log::f("ColoreDigitato=:%@: ColoreCodice=:%@: ColoreVarCom=:%@:", scelta.coloreDigitato,
               scelta.coloreCorrente ? scelta.coloreCorrente->codice() : std::nullopt, variante);
        values.emplace_back("colore", valueOf(scelta.coloreDigitato));
        values.emplace_back("varianteCommerciale", valueOf(variante));
        values.emplace_back("prezzo", PriceResolver::resolve(database_, listino, articolo, variante.value_or(""),
                                                             scelta.quantitaCorrente)
                                          .toString());
    }
    values.emplace_back("serie", valueOf(scelta.serieCorrente));
    if (scelta.giacenzaCorrente) {
        values.emplace_back("partita", valueOf(scelta.giacenzaCorrente->partita()));
        values.emplace_back("lavorazione", valueOf(scelta.giacenzaCorrente->lavorazione()));
    }
    values.emplace_back("quantita", scelta.quantitaCorrente);
    values.emplace_back("nota", valueOf(scelta.notaCorrente));
    return database_.createSceltaRigaForSceltaTestata(testata, std::move(values)) && markListino(testata, listino);
}

bool OrderLineWriter::writeSizes(const SceltaCorrente& scelta, const SceltaTestata& testata) {
    const Articolo& articolo = *scelta.articoloCorrente;
    const std::string codice = articolo.codice().value_or("");
    // The setters and deletions only log a refusal, so what they did is checked.
    if (!testata.presenzaTaglie().value_or(false)) {
        testata.setPresenzaTaglie(true);
        if (!testata.presenzaTaglie().value_or(false)) return false;
    }
    // A re-confirmed article replaces its lines: sizes set back to 0 disappear. Only that
    // article's lines are read, however long the order.
    if (auto righe = database_.fetchAllSceltaRigaByTestata(testata, codice)) {
        for (const SceltaRiga& riga : *righe) {
            Log::f("Cancello riga %@ inerente ARTICOLO %@", riga.riga(), codice);
            database_.deleteSceltaWithSceltaRiga(riga);
            if (riga.exists()) return false;
        }
    } else {
        return false;  // the old lines cannot be found, so they could not be replaced
    }
    if (!markListino(testata, scelta.listinoCorrente->barCode().value_or(""))) return false;
    for (const ColoreSxBarra& radice : articolo.coloriSxbarra()) {
        if (!writeRoot(scelta, testata, radice)) return false;
    }
    return true;
}

bool OrderLineWriter::writeRoot(const SceltaCorrente& scelta, const SceltaTestata& testata,
                                const ColoreSxBarra& radice) {
    const std::string articolo = scelta.articoloCorrente->codice().value_or("");
    const std::string listino = scelta.listinoCorrente->barCode().value_or("");
    const std::string codiceRadice = radice.codice().value_or("");
    Log::f("ColoreSxBarra=:%@:", codiceRadice);
    // The line's totals are known only after its sizes, so the sizes are priced first and
    // every record is then written once.
    struct Taglia {
        std::string codice;
        long long quantita = 0;
        std::optional<std::string> variante = std::string(kNoVariante);
        std::optional<Decimal> prezzo;
    };
    std::vector<Taglia> taglie;
    std::string variante = kNoVariante;
    long long quantita = 0;
    Decimal importoRiga;
    std::optional<std::pair<std::string, Decimal>> prezzoRadice;  // the variant priced and its price
    for (const TempSceltaTaglia& temp : radice.tempSceltaTaglie()) {
        const long long quantitaTaglia = temp.quantita().value_or(0);
        if (quantitaTaglia < 1) continue;
        Taglia& taglia = taglie.emplace_back();
        taglia.codice = temp.taglia().value_or("");
        taglia.quantita = quantitaTaglia;
        quantita += quantitaTaglia;
        Log::f("    Colore=%@", codiceRadice);
        const std::string completo = format("%@/%@", codiceRadice, taglia.codice);
        Log::f("    Colore completo di Taglia=%@", completo);
        // A size without its colour record still counts in the quantity, not in the amount.
        std::optional<Colore> colore = database_.fetchColoreByArticolo(articolo, completo);
        if (!colore) continue;
        taglia.variante = colore->varianteCommerciale();
        Log::f("    VarCom      =%@", taglia.variante);
        if (variante == kNoVariante) {
            variante = taglia.variante.value_or("");
            Log::f("    VarCom padre=%@", variante);
        }
        // Every size of a root is priced for the root's variant and quantity: one lookup serves them all.
        if (!prezzoRadice || prezzoRadice->first != variante)
            prezzoRadice.emplace(variante,
                                 PriceResolver::resolve(database_, listino, articolo, variante, scelta.quantitaCorrente));
        taglia.prezzo = prezzoRadice->second;
        Log::f("    Prezzo      =%@", *taglia.prezzo);
        const Decimal importo = LineAmount::of(*taglia.prezzo, Decimal::fromInteger(quantitaTaglia));
        Log::f("    Importo     =%@", importo);
        importoRiga = importoRiga + importo;
        Log::f("    SceltaTaglia %@", taglia.codice);
    }
    if (taglie.empty()) return true;
    std::optional<SceltaRiga> riga =
        database_.createSceltaRigaForSceltaTestata(testata, {{"articolo", articolo},
                                                             {"colore", codiceRadice},
                                                             {"listino", listino},
                                                             {"serie", valueOf(scelta.serieCorrente)},
                                                             {"varianteCommerciale", variante},
                                                             {"prezzo", importoRiga.toString()},
                                                             {"quantita", static_cast<double>(quantita)},
                                                             {"nota", valueOf(scelta.notaCorrente)}});
    if (!riga) return false;
    Log::f("SceltaRiga INIZIALE %@", riga->riga());
    for (const Taglia& taglia : taglie) {
        ColumnValues values{{"quantita", taglia.quantita}, {"varianteCommerciale", valueOf(taglia.variante)}};
        if (taglia.prezzo) values.emplace_back("prezzo", taglia.prezzo->toString());
        if (!database_.createSceltaTagliaWithTaglia(taglia.codice, *riga, std::move(values))) return false;
    }
    Log::f("SceltaRiga FINALE %@", riga->riga());
    return true;
}

}  // namespace torvane
