#pragma once

// A 1000-line order in a real store: what the documents and mail benchmarks work on.
#include <string>

#include "platform/Format.h"
#include "store/Database.h"

namespace torvane::bench {

constexpr int kOrderLines = 1000, kOrderArticles = 200;

inline std::string articleCode(int a) { return format("ART%04d", a); }

// Order 1 of client C0001 with 1000 lines over 200 articles, committed.
inline SceltaTestata buildThousandLineOrder(Database& db) {
    auto listino = db.createListinoWithBarCode("L01");
    listino->setDescrizione(std::string("Collezione estate"));
    listino->setUm(std::string("MT"));
    listino->setDivisa(std::string("EUR"));
    db.createVarianteCommercialeWithCodice("01")->setDescrizioneITA(std::string("Base"));
    for (int a = 0; a < kOrderArticles; ++a) {
        auto article = db.createArticoloWithBarCode(format("B%06d", a));
        article->setCodice(articleCode(a));
        article->setDescrizione1(format("Popeline di cotone %d", a));
        article->setComposizione(std::string("100% cotone"));
        article->setPesoGr(std::string("120"));
        article->setFotoUrl(format("%@.jpg", articleCode(a)));
        auto entry = db.createArticoloListinoWithArticolo(articleCode(a), *listino);
        db.createPrezzoWithVarianteCommerciale("01", *entry)->setValore(Decimal::fromInteger(5 + a % 20));
    }
    auto cliente = db.createClienteWithBarCode("C0001");
    cliente->setCodice(std::string("C0001"));
    cliente->setRagioneSociale1(std::string("Tessuti Rossi & Figli"));
    for (int d = 1; d <= 5; ++d) {
        auto destinazione = db.createDestinazioneWithCodice(std::to_string(d), *cliente);
        destinazione->setRagioneSociale1(format("Magazzino %d", d));
    }
    auto testata = db.createSceltaTestataWithCodice(1);
    testata->setCliente(std::string("C0001"));
    testata->setClienteRagioneSociale(std::string("Tessuti Rossi & Figli"));
    testata->setListinoTestata(std::string("L01"));
    testata->setTipo(std::string("N"));
    testata->setNote(std::string("Consegna entro marzo"));
    for (int i = 0; i < kOrderLines; ++i) {
        auto riga = db.createSceltaRigaForSceltaTestata(*testata);
        riga->setArticolo(articleCode(i % kOrderArticles));
        riga->setColore(format("%03d", i % 37));
        riga->setVarianteCommerciale(std::string("01"));
        riga->setListino(std::string("L01"));
        riga->setQuantita(1.5 + i % 40);
        riga->setPrezzo(Decimal::fromInteger(5 + i % 20));
    }
    db.commit();
    return *testata;
}

}  // namespace torvane::bench
