#include "rules/SizeGridBuilder.h"

#include "store/AutoCommitPause.h"
#include "platform/Log.h"
#include "store/Database.h"
#include "store/OrderStatus.h"

namespace torvane {

std::string SizeGridBuilder::radiceColore(const std::string& codice) { return codice.substr(0, codice.find('/')); }

void SizeGridBuilder::prepare(Database& database, const Articolo& articolo,
                              const std::optional<SceltaTestata>& testata) {
    if (articolo.coloriSxbarra().empty()) buildRoots(database, articolo);
    buildRows(database, articolo);
    fillOrdered(database, articolo, testata);
}

void SizeGridBuilder::buildRoots(Database& database, const Articolo& articolo) {
    Log::f("Creo TABELLA Colori x Articolo : %@", articolo.codice());
    std::string previous;
    for (const Colore& colore : articolo.colori()) {
        const std::string radice = radiceColore(colore.codice().value_or(""));
        if (radice == previous) continue;
        previous = radice;
        if (database.createColoreSxBarraWithCodice(radice, articolo)) {
            Log::f("    %@", radice);
        } else {
            Log::f("Problemi a creare Colore senza Barra : %@ per Articolo=%@", radice, articolo.codice());
        }
    }
}

void SizeGridBuilder::buildRows(Database& database, const Articolo& articolo) {
    auto gruppo = database.fetchTagliaGruppoByCodice(articolo.tagliaGruppo().value_or(""));
    Log::f("Creo Taglie temporanee per ART: %@", articolo.codice());
    // The grid's rows stay pending until the line is confirmed, which commits; a row the store
    // refuses must not roll back everything pending meanwhile.
    const AutoCommitPause pause(database);
    const std::vector<TagliaDettaglio> taglie = gruppo ? gruppo->taglieDettaglio() : std::vector<TagliaDettaglio>{};
    for (const ColoreSxBarra& radice : articolo.coloriSxbarra()) {
        Log::f("    %@", radice.codice());
        for (const TempSceltaTaglia& vecchia : radice.tempSceltaTaglie()) database.deleteGenericaSingolaRow(vecchia);
        for (const TagliaDettaglio& taglia : taglie) {
            if (!database.createTempSceltaTagliaWithTaglia(taglia.codice().value_or(""), radice)) {
                Log::f("Problemi a creare TempSceltaTaglia : %@ per Colore=%@", taglia.codice(), radice.codice());
                break;
            }
        }
    }
}

void SizeGridBuilder::fillOrdered(Database& database, const Articolo& articolo,
                                  const std::optional<SceltaTestata>& testata) {
    std::optional<SceltaTestata> ordine = testata;
    if (!ordine) {
        auto aperte = database.fetchAllSceltaTestataWithStatus(OrderStatus::Open);
        if (aperte && aperte->size() == 1) ordine = aperte->front();
    }
    std::vector<SceltaRiga> righe;
    if (ordine) {
        if (auto trovate = database.fetchAllSceltaRigaByTestata(*ordine)) righe = std::move(*trovate);
    }
    Log::f("Ci sono N. %d righe di scelta esistenti", static_cast<long long>(righe.size()));
    const std::string codiceArticolo = articolo.codice().value_or("");
    for (const SceltaRiga& riga : righe) {
        if (riga.articolo().value_or("") != codiceArticolo) continue;
        Log::f("Trovata Riga con Articolo %@ Colore        %@", riga.articolo(), riga.colore());
        auto radice = database.fetchColoreSxBarraWithCodice(riga.colore().value_or(""), articolo);
        if (!radice) continue;
        Log::f("    ColoreSxBarra %@", radice->codice());
        const std::vector<TempSceltaTaglia> righeTaglia = radice->tempSceltaTaglie();
        for (const SceltaTaglia& taglia : riga.sceltaTaglie()) {
            const std::string codice = taglia.taglia().value_or("");
            for (const TempSceltaTaglia& temp : righeTaglia) {
                if (temp.taglia().value_or("") != codice) continue;
                temp.setQuantita(taglia.quantita().value_or(0));
                break;
            }
            Log::f("    Taglia        %@ Quantita=%@", taglia.taglia(), taglia.quantita());
        }
    }
}

}  // namespace torvane
