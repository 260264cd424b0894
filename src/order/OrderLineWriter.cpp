#include "order/OrderLineWriter.h"

#include <chrono>

#include "order/AgentResolver.h"
#include "order/OrderCounter.h"
#include "order/PriceResolver.h"
#include "order/SceltaCorrente.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "store/Database.h"
#include "store/StoreSavepoint.h"

namespace torvane {

namespace {

constexpr const char* kListinoCambiato = "LISTINOCAMBIATO";
constexpr const char* kNoVariante = "  ";

// A header names one price list while all its lines share it; a line of another list marks
// it for good.
void markListino(const SceltaTestata& testata, const std::string& listino) {
    if (testata.listinoTestata().value_or("") != listino) testata.setListinoTestata(std::string(kListinoCambiato));
}

}  // namespace

std::optional<SceltaTestata> OrderLineWriter::write(const SceltaCorrente& scelta) {
    database_.setDoCommit(false);
    StoreSavepoint unit(database_, "conferma_riga");
    std::optional<SceltaTestata> testata = scelta.sceltaTestataCorrente;
    bool written = unit.isOpen();
    if (written && !testata) {
        testata = createTestata(scelta);
        written = testata.has_value();
    }
    if (written) {
        written = hasSizeGroup(*scelta.articoloCorrente) ? writeSizes(scelta, *testata) : writePlain(scelta, *testata);
    }
    if (written) {
        try {
            database_.commit();
            unit.committed();
        } catch (const std::exception&) {
            written = false;  // logged by the store
        }
    }
    if (!written) unit.undo();
    database_.setDoCommit(true);
    if (!written) return std::nullopt;
    return testata;
}

std::optional<SceltaTestata> OrderLineWriter::createTestata(const SceltaCorrente& scelta) {
    const std::optional<long long> numero = OrderCounter::next(database_);
    if (!numero) return std::nullopt;
    std::optional<SceltaTestata> testata = database_.createSceltaTestataWithCodice(*numero);
    if (!testata) return std::nullopt;
    const Cliente& cliente = *scelta.clienteCorrente;
    const Preferences& preferences = Preferences::standard();
    testata->setCliente(cliente.codice());
    testata->setClienteRagioneSociale(cliente.ragioneSociale1());
    testata->setListinoTestata(scelta.listinoCorrente->barCode());
    testata->setStatus(0);
    testata->setDataCreazione(std::chrono::system_clock::now());
    for (const Destinazione& destinazione : cliente.destinazioni()) {
        if (destinazione.abituale().value_or(false)) {
            testata->setClienteDestinazione(destinazione.codice());
            break;
        }
    }
    testata->setAaaAzienda(preferences.stringForKey(keys::pref_aziendaAttiva));
    testata->setTipo(preferences.stringForKey(keys::pref_TIPOORDINE));
    const std::string agente =
        AgentResolver::resolve(preferences.stringForKey(keys::pref_agente), cliente, scelta.listinoCorrente);
    Log::f("Agente : %@", agente);
    testata->setAgente(agente);
    return testata;
}

bool OrderLineWriter::writePlain(const SceltaCorrente& scelta, const SceltaTestata& testata) {
    std::optional<SceltaRiga> riga = database_.createSceltaRigaForSceltaTestata(testata);
    if (!riga) return false;
    const std::string articolo = scelta.articoloCorrente->codice().value_or("");
    const std::string listino = scelta.listinoCorrente->barCode().value_or("");
    riga->setArticolo(articolo);
    riga->setListino(listino);
    markListino(testata, listino);
    if (scelta.coloreTCC) {
        riga->setColore(std::string("T+CC"));
        riga->setVarianteCommerciale(std::string(kNoVariante));
    } else {
        const std::optional<std::string> variante =
            scelta.coloreCorrente ? scelta.coloreCorrente->varianteCommerciale() : std::nullopt;
        Log::f("ColoreDigitato=:%@: ColoreCodice=:%@: ColoreVarCom=:%@:", scelta.coloreDigitato,
               scelta.coloreCorrente ? scelta.coloreCorrente->codice() : std::nullopt, variante);
        riga->setColore(scelta.coloreDigitato);
        riga->setVarianteCommerciale(variante);
        riga->setPrezzo(
            PriceResolver::resolve(database_, listino, articolo, variante.value_or(""), scelta.quantitaCorrente));
    }
    riga->setSerie(scelta.serieCorrente);
    if (scelta.giacenzaCorrente) {
        riga->setPartita(scelta.giacenzaCorrente->partita());
        riga->setLavorazione(scelta.giacenzaCorrente->lavorazione());
    }
    riga->setQuantita(scelta.quantitaCorrente);
    riga->setNota(scelta.notaCorrente);
    return true;
}

bool OrderLineWriter::writeSizes(const SceltaCorrente& scelta, const SceltaTestata& testata) {
    const Articolo& articolo = *scelta.articoloCorrente;
    const std::string codice = articolo.codice().value_or("");
    testata.setPresenzaTaglie(true);
    // A re-confirmed article replaces its lines: sizes set back to 0 disappear.
    if (auto righe = database_.fetchAllSceltaRigaByTestata(testata)) {
        for (const SceltaRiga& riga : *righe) {
            if (riga.articolo().value_or("") != codice) continue;
            Log::f("Cancello riga %@ inerente ARTICOLO %@", riga.riga(), codice);
            database_.deleteSceltaWithSceltaRiga(riga);
        }
    }
    markListino(testata, scelta.listinoCorrente->barCode().value_or(""));
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
    std::optional<SceltaRiga> riga;
    std::string variante = kNoVariante;
    long long quantita = 0;
    Decimal importoRiga;
    for (const TempSceltaTaglia& temp : radice.tempSceltaTaglie()) {
        const long long quantitaTaglia = temp.quantita().value_or(0);
        if (quantitaTaglia < 1) continue;
        if (!riga) {
            riga = database_.createSceltaRigaForSceltaTestata(testata);
            if (!riga) return false;
            riga->setArticolo(articolo);
            riga->setColore(codiceRadice);
            riga->setListino(listino);
            riga->setSerie(scelta.serieCorrente);
            riga->setVarianteCommerciale(variante);
            riga->setPrezzo(Decimal());
            riga->setQuantita(0.0);
            riga->setNota(scelta.notaCorrente);
            Log::f("SceltaRiga INIZIALE %@", riga->riga());
        }
        std::optional<SceltaTaglia> taglia = database_.createSceltaTagliaWithTaglia(temp.taglia().value_or(""), *riga);
        if (!taglia) return false;
        taglia->setQuantita(quantitaTaglia);
        taglia->setVarianteCommerciale(std::string(kNoVariante));
        quantita += quantitaTaglia;
        riga->setQuantita(static_cast<double>(quantita));
        Log::f("    Colore=%@", codiceRadice);
        const std::string completo = format("%@/%@", codiceRadice, temp.taglia());
        Log::f("    Colore completo di Taglia=%@", completo);
        // A size without its colour record still counts in the quantity, not in the amount.
        std::optional<Colore> colore = database_.fetchColoreByArticolo(articolo, completo);
        if (!colore) continue;
        taglia->setVarianteCommerciale(colore->varianteCommerciale());
        Log::f("    VarCom      =%@", colore->varianteCommerciale());
        if (variante == kNoVariante) {
            variante = colore->varianteCommerciale().value_or("");
            riga->setVarianteCommerciale(variante);
            Log::f("    VarCom padre=%@", variante);
        }
        const Decimal prezzo = PriceResolver::resolve(database_, listino, articolo, variante, scelta.quantitaCorrente);
        taglia->setPrezzo(prezzo);
        Log::f("    Prezzo      =%@", prezzo);
        const Decimal importo = PriceResolver::lineAmount(prezzo, Decimal::fromInteger(quantitaTaglia));
        Log::f("    Importo     =%@", importo);
        importoRiga = importoRiga + importo;
        riga->setPrezzo(importoRiga);
        Log::f("    SceltaTaglia %@", taglia->taglia());
    }
    if (riga) Log::f("SceltaRiga FINALE %@", riga->riga());
    return true;
}

}  // namespace torvane
