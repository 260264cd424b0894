#include "rules/OrderCounter.h"
#include "store/StoreFixture.h"

using namespace torvane;
using test::StoreFixture;

namespace {

struct Deletions : StoreFixture {
    // An order with one line of two sizes; sent when `sent` is true.
    SceltaTestata order(long long codice, bool sent) {
        auto testata = db->createSceltaTestataWithCodice(codice);
        if (sent) testata->setDataTrasmissione(std::chrono::system_clock::now());
        auto riga = db->createSceltaRigaForSceltaTestata(*testata);
        db->createSceltaTagliaWithTaglia("S", *riga);
        db->createSceltaTagliaWithTaglia("M", *riga);
        return *testata;
    }
    void catalogue() {
        auto cliente = db->createClienteWithBarCode("C001");
        cliente->setCodice("C001");
        auto nuovo = db->createClienteWithBarCode("NEW0001");
        nuovo->setCodice("NEW0001");
        for (const auto& c : {*cliente, *nuovo}) {
            auto destinazione = db->createDestinazioneWithCodice("1", c);
            auto info = db->createClienteInfoWithCodice(*c.codice() + "-1");
            destinazione->setDestinazioneInfo(info);
        }
        db->createClienteInfoWithCodice("C001");
        db->createMastroWithCodice("M");
        auto articolo = db->createArticoloWithBarCode("A");
        auto colore = db->createColoreWithBarCode("C", *articolo);
        db->createGiacenzaWithDescrizione("G", *articolo, *colore);
        auto listino = db->createListinoWithBarCode("L");
        db->createPrezzoWithVarianteCommerciale("V", *db->createArticoloListinoWithArticolo("A", *listino));
        db->createParametroWithAttributo("SYSTEM_ProgressivoOrdine");
        auto stat = db->createStatClienteWithCodice("C001");
        auto collezione = db->createStatCollezioneWithCodice("K", *stat);
        auto statArticolo = db->createStatArticoloWithCodice("A", *collezione);
        db->createStatTipoWithCodice("T", *db->createStatBusinessWithCodice("B", *statArticolo));
        db->createStatPeriodoWithCodice("P", *stat);
        auto esposizione = db->createEsposizioneForEsposizioneCliente(*db->createEsposizioneClienteWithCodice("C001"));
        db->createEsposizioneRigaForEsposizione(*esposizione);
    }
};

}  // namespace

TEST_F(Deletions, EmptyingTheCatalogueKeepsWhatTheOrdersRelyOnAndNumbersNeverRepeat) {
    catalogue();
    db->createClienteWithBarCode("NEW002")->setCodice("NEW002");
    db->createParametroWithAttributo("SYSTEM_ProgressivoCliente")->setValore(std::string("2"));
    db->createParametroWithAttributo("SYSTEM_mario_01.L1.xml")->setValore(std::string("20260101000000"));
    ASSERT_EQ(OrderCounter::next(*db), 1);
    ASSERT_EQ(OrderCounter::next(*db), 2);
    order(1, false);
    order(2, false);
    db->commit();
    db->deleteDatabase();
    db->commit();
    for (const auto& entity : Database::wholeCatalogueGroup()) {
        if (entity != "Cliente" && entity != "Parametro") {
            EXPECT_EQ(count(entity), 0) << entity;
        }
    }
    // The clients made on the device and the counters stay; the catalogue's load marks go, so
    // it loads again.
    auto sorted = [&](const std::string& column, const std::string& table) {
        return std::get<std::string>(
            rawQuery("SELECT group_concat(" + column + ") FROM (SELECT " + column + " FROM " + table + " ORDER BY 1)")
                .at(0)
                .at(0));
    };
    EXPECT_EQ(sorted("codice", "Cliente"), "NEW0001,NEW002");
    EXPECT_EQ(sorted("attributo", "Parametro"), "SYSTEM_ProgressivoCliente,SYSTEM_ProgressivoOrdine");
    EXPECT_EQ(db->fetchParametroByAttributo("SYSTEM_ProgressivoCliente")->valore(), "2");
    EXPECT_EQ(count("SceltaTestata"), 2);
    EXPECT_EQ(count("SceltaTaglia"), 4);
    EXPECT_EQ(count("StatTipo"), 1);
    EXPECT_EQ(count("EsposizioneRiga"), 1);
    EXPECT_EQ(OrderCounter::next(*db), 3);

    // A counter lost all the same never gives a number an order already has.
    db->deleteGenericaTutteRows("Parametro");
    EXPECT_EQ(OrderCounter::next(*db), 3) << "the orders in the store are 1 and 2";
}

TEST_F(Deletions, AClientReloadKeepsDeviceClientsAndEmptiesDestinationsAndExtendedData) {
    catalogue();
    db->deleteClientiEtcFromDatabase();
    EXPECT_FALSE(db->fetchClienteByCodice("C001"));
    auto nuovo = db->fetchClienteByCodice("NEW0001");
    ASSERT_TRUE(nuovo);
    EXPECT_TRUE(nuovo->destinazioni().empty());
    EXPECT_EQ(count("Destinazione"), 0);
    EXPECT_EQ(count("ClienteInfo"), 0);
    EXPECT_EQ(count("Mastro"), 0);
    EXPECT_EQ(count("Articolo"), 1);  // not part of the group
}

TEST_F(Deletions, ArticlesPriceListsAndExposureGoAsGroups) {
    catalogue();
    db->deleteArticoliColoriGiacenzeFromDatabase();
    EXPECT_TRUE(log->contains("Pulizia tabella : Giacenza"));
    EXPECT_EQ(count("Articolo") + count("Colore") + count("Giacenza"), 0);
    db->deleteListiniPrezziFromDatabase();
    EXPECT_EQ(count("Listino") + count("ArticoloListino") + count("Prezzo"), 0);
    db->deleteEsposizioneFromDatabase();
    EXPECT_EQ(count("EsposizioneCliente") + count("Esposizione") + count("EsposizioneRiga"), 0);
    EXPECT_EQ(count("Cliente"), 2);
}

TEST_F(Deletions, OrdersGoWithTheirLinesAndSizesAndNothingIsLeftBehind) {
    auto sent = order(1, true);
    auto open = order(2, false);
    auto another = order(3, false);
    db->setDoCommit(false);
    db->deleteAllSceltaOpened();
    EXPECT_EQ(count("SceltaTestata"), 1);
    EXPECT_TRUE(sent.exists());
    EXPECT_EQ(count("SceltaRiga"), 1);
    EXPECT_EQ(count("SceltaTaglia"), 2);
    db->rollback();  // commits were off: nothing was saved
    EXPECT_EQ(count("SceltaTestata"), 0);

    auto kept = order(4, false);
    auto gone = order(5, false);
    db->setDoCommit(true);
    db->deleteSceltaByTestata(gone);
    db->rollback();  // it committed: the deletion stays
    EXPECT_FALSE(gone.exists());
    EXPECT_EQ(count("SceltaTaglia"), 2);
    db->deleteSceltaWithSceltaRiga(kept.sceltaRighe().front());
    EXPECT_EQ(count("SceltaTaglia"), 0);
    EXPECT_TRUE(kept.sceltaRighe().empty());
}

TEST_F(Deletions, ClientStatisticsGoDepthFirstAndCommit) {
    catalogue();
    auto stat = db->fetchStatClienteByCodice("C001");
    ASSERT_TRUE(stat);
    EXPECT_TRUE(db->fetchStatBusinessByStatArticolo("C001", "K", "A", "B"));
    EXPECT_EQ(db->fetchAllStatArticoloByStatCollezione("C001", "K")->size(), 1u);
    db->deleteStatClienteAndChildren(*stat);
    db->rollback();
    for (const char* entity : {"StatCliente", "StatCollezione", "StatArticolo", "StatBusiness", "StatTipo", "StatPeriodo"})
        EXPECT_EQ(count(entity), 0) << entity;
}

TEST_F(Deletions, ASingleRecordGoesAndItsHandleReadsAbsent) {
    auto mastro = db->createMastroWithCodice("M");
    db->deleteGenericaSingolaRow(*mastro);
    EXPECT_FALSE(mastro->exists());
    EXPECT_FALSE(mastro->codice());
    mastro->setDescrizione("x");  // writing to a deleted record changes nothing
    EXPECT_EQ(count("Mastro"), 0);
}
