#include "store/StoreFixture.h"

using namespace torvane;
using test::StoreFixture;

namespace {
bool logged(const std::shared_ptr<CaptureLogSink>& log, const std::string& prefix) {
    for (const auto& line : log->lines())
        if (line.rfind(prefix, 0) == 0) return true;
    return false;
}
}  // namespace

using Operations = StoreFixture;

TEST_F(Operations, ValuesKeepTheirTypesAndAbsenceExactly) {
    auto articolo = db->createArticoloWithBarCode("123456");
    ASSERT_TRUE(articolo);
    EXPECT_FALSE(articolo->flagFuoriListino());  // absent, not false
    articolo->setFlagFuoriListino(false);
    EXPECT_EQ(articolo->flagFuoriListino(), std::optional<bool>(false));
    auto colore = db->createColoreWithBarCode("C1", *articolo);
    EXPECT_EQ(colore->flagCreatoDaMe(), std::optional<bool>(false));

    auto testata = db->createSceltaTestataWithCodice(7);
    auto riga = db->createSceltaRigaForSceltaTestata(*testata);
    riga->setPrezzo(Decimal::parse("12.50"));
    riga->setQuantita(2.5);
    Timestamp when = parseIsoDate("2026-12-06T10:15:30.250Z").value();
    testata->setDataCreazione(when);
    EXPECT_EQ(riga->prezzo(), Decimal::parse("12.5"));
    EXPECT_EQ(testata->dataCreazione(), when);
    // Readable with any SQLite tool: decimals as exact text, dates as ISO 8601 text.
    auto rows = rawQuery("SELECT prezzo, typeof(prezzo) FROM SceltaRiga");
    EXPECT_EQ(std::get<std::string>(rows[0][0]), "12.5");
    EXPECT_EQ(std::get<std::string>(rawQuery("SELECT dataCreazione FROM SceltaTestata")[0][0]),
              "2026-12-06T10:15:30.250Z");
    auto prezzo = db->createPrezzoWithVarianteCommerciale(
        "V1", *db->createArticoloListinoWithArticolo("A1", *db->createListinoWithBarCode("L01")));
    EXPECT_EQ(prezzo->valore(), Decimal());
    EXPECT_FALSE(prezzo->maggiorazione());
    // Further values go into the same INSERT and take the place of a default.
    auto listino = db->createListinoWithBarCode("L02");
    auto entry = db->createArticoloListinoWithArticolo("A2", *listino);
    auto loaded = db->createPrezzoWithVarianteCommerciale(
        "V2", *entry, {{"valore", std::string("12.5")}, {"varianteCommerciale", SqlValue()}});
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->valore(), Decimal::parse("12.5"));
    EXPECT_EQ(loaded->valoreMaggiorazione(), Decimal());
    EXPECT_FALSE(loaded->varianteCommerciale());
    EXPECT_FALSE(db->createPrezzoWithVarianteCommerciale("V3", *entry, {{"nonEsiste", std::string("1")}}));
}

TEST_F(Operations, LinesAreNumberedAfterTheHighestExistingNumber) {
    auto testata = db->createSceltaTestataWithCodice(1);
    EXPECT_EQ(db->createSceltaRigaForSceltaTestata(*testata)->riga(), 1);
    EXPECT_TRUE(log->contains("SceltaRiga creata con field riga: 1"));
    db->createSceltaRigaForSceltaTestata(*testata);
    auto third = db->createSceltaRigaForSceltaTestata(*testata);
    third->setRiga(5);
    EXPECT_EQ(db->createSceltaRigaForSceltaTestata(*testata)->riga(), 6);
    auto other = db->createSceltaTestataWithCodice(2);
    EXPECT_EQ(db->createSceltaRigaForSceltaTestata(*other)->riga(), 1);
    auto righe = db->fetchAllSceltaRigaByTestata(*testata);
    ASSERT_TRUE(righe);
    ASSERT_EQ(righe->size(), 4u);
    EXPECT_EQ(righe->back().riga(), 6);
}

TEST_F(Operations, AColourBarcodeSharedByTwoColoursCountsAsNotFound) {
    auto articolo = db->createArticoloWithBarCode("A");
    articolo->setCodice("ART1");
    auto first = db->createColoreWithBarCode("999", *articolo);
    first->setCodice("01");
    EXPECT_EQ(db->fetchColoreByBarCode("999"), first);
    auto second = db->createColoreWithBarCode("999", *articolo);
    second->setCodice("02");
    second->setDescrizione("Blu");
    EXPECT_FALSE(db->fetchColoreByBarCode("999"));
    EXPECT_TRUE(log->contains("ERRORE : Ho piu' di un colore x lo stesso barcode !!!"));
    EXPECT_TRUE(log->contains("Colore: 01 Barcode:999 Descr:(null) Art:ART1"));
    EXPECT_TRUE(log->contains("Colore: 02 Barcode:999 Descr:Blu Art:ART1"));
    EXPECT_FALSE(db->fetchColoreByBarCode("000"));
    EXPECT_EQ(db->fetchColoreByArticolo("ART1", "02"), second);
    EXPECT_FALSE(db->fetchColoreByArticolo("ART1", "03"));
    EXPECT_FALSE(db->fetchColoreByArticolo("ART9", "01"));
    // Ordered relationships keep insertion order.
    auto colori = articolo->colori();
    ASSERT_EQ(colori.size(), 2u);
    EXPECT_EQ(colori[0], first);
    EXPECT_EQ(colori[1], second);
    // Read all at once, a code finds what the single lookup finds: the first in the list.
    auto third = db->createColoreWithBarCode("998", *articolo);
    third->setCodice("01");
    auto all = db->fetchColoriByArticoloAndCodice();
    ASSERT_TRUE(all);
    EXPECT_EQ(all->size(), 2u);
    EXPECT_EQ(all->at(Database::coloreKey(articolo->id(), "01")), db->fetchColoreByArticolo("ART1", "01"));
    EXPECT_EQ(all->at(Database::coloreKey(articolo->id(), "01")), first);
    EXPECT_EQ(db->isEmpty("Colore"), false);
    EXPECT_EQ(db->isEmpty("Giacenza"), true);
}

TEST_F(Operations, BasePriceAndSurchargedPricesAreFoundApart) {
    auto listino = db->createListinoWithBarCode("L01");
    auto al = db->createArticoloListinoWithArticolo("ART1", *listino);
    EXPECT_FALSE(db->fetchPrezziConMaggiorazioniByListino("L01", "ART1", "V1"));  // none, not empty
    ASSERT_TRUE(db->fetchAllPrezziByArticoloListino(*al));
    EXPECT_TRUE(db->fetchAllPrezziByArticoloListino(*al)->empty());
    auto base = db->createPrezzoWithVarianteCommerciale("V1", *al);
    base->setValore(Decimal::parse("10.00"));
    auto surcharged = db->createPrezzoWithVarianteCommerciale("V1", *al);
    surcharged->setMaggiorazione("M10");
    surcharged->setValore(Decimal::parse("9.5"));
    EXPECT_EQ(db->fetchPrezzoByListino("L01", "ART1", "V1"), base);
    auto withSurcharge = db->fetchPrezziConMaggiorazioniByListino("L01", "ART1", "V1");
    ASSERT_TRUE(withSurcharge);
    ASSERT_EQ(withSurcharge->size(), 1u);
    EXPECT_EQ(withSurcharge->front(), surcharged);
    auto all = db->fetchAllPrezziByArticoloListino(*al);
    ASSERT_EQ(all->size(), 2u);
    EXPECT_EQ(all->front(), surcharged);  // 9.5 before 10.00
    EXPECT_FALSE(db->fetchPrezzoByListino("L02", "ART1", "V1"));
}

TEST_F(Operations, SearchesIgnoreCaseAndAccentsAsAsked) {
    db->createClienteWithBarCode("1")->setRagioneSociale1("Tessitura Città di Castello");
    db->createClienteWithBarCode("2")->setRagioneSociale1("Alfa Moda");
    db->createClienteWithBarCode("3");  // no name: never matches
    auto found = db->fetchAllMatchesCliente("CITTA");
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 1u);
    EXPECT_EQ(found->front().barCode(), "1");
    EXPECT_TRUE(db->fetchAllMatchesCliente("")->empty());
    EXPECT_TRUE(db->fetchAllMatchesCliente("  ")->empty()) << "no word, no client";

    // Every word must occur in one of the name lines or the town, in any order.
    auto rossi = *db->createClienteWithBarCode("4");
    rossi.setRagioneSociale1("Rossi Tessuti");
    rossi.setCitta("Prato");
    db->createClienteWithBarCode("5")->setRagioneSociale1("Rossi Filati");
    EXPECT_EQ(db->fetchAllMatchesCliente("prato ROSSI")->size(), 1u);
    EXPECT_EQ(db->fetchAllMatchesCliente("rossi")->size(), 2u);
    EXPECT_TRUE(db->fetchAllMatchesCliente("rossi milano")->empty());
    EXPECT_TRUE(db->fetchAllMatchesCliente("tessutiprato")->empty()) << "a word never spans two fields";
    rossi.setCitta("Milano");  // the search follows every change
    EXPECT_EQ(db->fetchAllMatchesCliente("rossi milano")->size(), 1u);
    auto all = db->fetchAllCliente();
    ASSERT_EQ(all->size(), 5u);
    EXPECT_EQ(all->front().barCode(), "3");  // absent names first, then by name
    EXPECT_EQ((*all)[1].barCode(), "2");

    db->createParametroWithAttributo("DES-7");
    db->createParametroWithAttributo("des-07");
    db->createParametroWithAttributo("ATT-1");
    auto parametri = db->fetchAllMatchesParametro("DES-");
    ASSERT_EQ(parametri->size(), 2u);
    EXPECT_EQ(parametri->front().attributo(), "DES-7");  // sorted by attributo: "D" before "d"
}

TEST_F(Operations, DistinctValuesComeAsRecordsKeyedByTheAttribute) {
    for (auto [area, divisa] : {std::pair{"NORD", "EUR"}, {"SUD", "EUR"}, {"NORD", "USD"}}) {
        auto listino = db->createListinoWithBarCode(std::string(area) + divisa);
        listino->setArea(area);
        listino->setDivisa(divisa);
    }
    db->createListinoWithBarCode("X");  // no area: left out
    auto aree = db->fetchAllAreaVendita();
    ASSERT_TRUE(aree);
    ASSERT_EQ(aree->size(), 2u);
    EXPECT_EQ(aree->at(0).at("area"), "NORD");
    EXPECT_EQ(aree->at(1).at("area"), "SUD");
    EXPECT_EQ(db->fetchAllDivisa()->size(), 2u);
}

TEST_F(Operations, RelationshipsFollowOnBothSides) {
    auto cliente = db->createClienteWithBarCode("C1");
    auto destinazione = db->createDestinazioneWithCodice("1", *cliente);
    auto info = db->createClienteInfoWithCodice("C1-1");
    destinazione->setDestinazioneInfo(info);
    EXPECT_EQ(info->destinazione(), destinazione);
    EXPECT_EQ(db->fetchDestinazioneByCodice("1", *cliente), destinazione);
    auto competenza = db->createAgenteCompetenzaWithAgente("A1", "NORD", "BU1");
    cliente->addTo("agenti", *competenza);
    cliente->addTo("agenti", *competenza);  // a set: once only
    ASSERT_EQ(competenza->cliente().size(), 1u);
    EXPECT_EQ(competenza->cliente().front(), cliente);
    EXPECT_EQ(db->fetchAgenteCompetenzaByAgente("A1", "NORD", "BU1"), competenza);
    cliente->removeFrom("agenti", *competenza);
    EXPECT_TRUE(cliente->agenti().empty());
}

TEST_F(Operations, AFailingQueryReturnsNoResultWithItsLogLineAndAFailedCreateRollsBack) {
    db->createMastroWithCodice("M1");
    db->commit();
    {
        StoreConnection other(db->filePath());
        other.executeScript("DROP TABLE \"Mastro\"");
        other.commit();
    }
    db->createNazioneWithCodice("ITA");  // pending: undone by the failed create below
    EXPECT_FALSE(db->fetchMastroByCodice("M1"));
    EXPECT_TRUE(logged(log, "Database: eccezione durante fetch di un oggetto Mastro: Errore durante il fetch di un "
                            "oggetto Mastro (user info: "));
    EXPECT_FALSE(db->fetchAllMastro());
    EXPECT_TRUE(db->fetchNazioneByCodice("ITA"));  // fetches never roll back
    EXPECT_FALSE(db->createMastroWithCodice("M2"));
    EXPECT_TRUE(logged(log, "Database: eccezione durante la creazione di un oggetto Mastro: "));
    EXPECT_FALSE(db->fetchNazioneByCodice("ITA"));
    db->deleteGenericaTutteRows("Mastro");
    EXPECT_TRUE(logged(log, "Database: eccezione durante la cancellazione di tutte gli oggetti Mastro: "));
    db->deleteGenericaTutteRows("NonEsiste");
    EXPECT_TRUE(logged(log, "Database: eccezione durante la cancellazione di tutte gli oggetti NonEsiste: "));
}
