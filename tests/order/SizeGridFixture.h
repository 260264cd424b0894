#pragma once

#include <string>
#include <vector>

#include "store/StoreFixture.h"

namespace torvane::test {

// An article sold by size in a real store: ART2 (barcode 200001) with colours 10/S, 10/M,
// 20/S and a size group whose sizes the test chooses (S, M, L unless told otherwise).
struct SizeGridFixture : StoreFixture {
    std::optional<Articolo> articolo;

    void SetUp() override {
        StoreFixture::SetUp();
        articolo = db->createArticoloWithBarCode("200001");
        articolo->setCodice(std::string("ART2"));
        int n = 0;
        for (const char* codice : {"10/S", "10/M", "20/S"}) {
            auto colore = *db->createColoreWithBarCode("2000" + std::to_string(n++), *articolo);
            colore.setCodice(std::string(codice));
        }
    }
    void gruppo(const std::vector<std::string>& taglie) {
        articolo->setTagliaGruppo(std::string("TG"));
        auto g = *db->createTagliaGruppoWithCodice("TG");
        for (const std::string& taglia : taglie) db->createTagliaDettaglioWithCodice(taglia, g);
    }
    std::vector<ColoreSxBarra> radici() const { return articolo->coloriSxbarra(); }
    // Quantities of one root's size rows, in order.
    std::vector<long long> quantita(std::size_t radice) const {
        std::vector<long long> q;
        for (const TempSceltaTaglia& riga : radici().at(radice).tempSceltaTaglie()) q.push_back(riga.quantita().value());  // absent is a fault, not 0
        return q;
    }
    // An order line of `codiceArticolo` in colour root `colore` with (size, quantity) pairs.
    void riga(const SceltaTestata& testata, const std::string& codiceArticolo, const std::string& colore,
              const std::vector<std::pair<std::string, long long>>& taglie) {
        auto r = *db->createSceltaRigaForSceltaTestata(testata);
        r.setArticolo(codiceArticolo);
        r.setColore(colore);
        for (const auto& [taglia, q] : taglie) db->createSceltaTagliaWithTaglia(taglia, r)->setQuantita(q);
    }
    SceltaTestata ordine(long long codice, long long status) {
        auto t = *db->createSceltaTestataWithCodice(codice);
        t.setStatus(status);
        return t;
    }
};

}  // namespace torvane::test
