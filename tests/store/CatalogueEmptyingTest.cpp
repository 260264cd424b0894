// Emptying the catalogue keeps what the orders in the store rely on.
#include <gtest/gtest.h>

#include "order/OrderCounter.h"
#include "store/Database.h"
#include "store/StoreFixture.h"

using namespace torvane;
using namespace torvane::test;

TEST_F(StoreFixture, EmptyingTheCatalogueKeepsTheCountersAndTheClientsMadeHereAndNumbersNeverRepeat) {
    for (const char* codice : {"C001", "NEW0001", "NEW002"}) db->createClienteWithBarCode(codice)->setCodice(std::string(codice));
    db->createParametroWithAttributo("SYSTEM_ProgressivoCliente")->setValore(std::string("2"));
    db->createParametroWithAttributo("SYSTEM_mario_01.L1.xml")->setValore(std::string("20260101000000"));
    ASSERT_EQ(OrderCounter::next(*db), 1);
    ASSERT_EQ(OrderCounter::next(*db), 2);
    db->createSceltaTestataWithCodice(1);
    db->createSceltaTestataWithCodice(2);
    db->commit();

    db->deleteDatabase();
    db->commit();
    EXPECT_FALSE(db->fetchClienteByCodice("C001"));
    EXPECT_TRUE(db->fetchClienteByCodice("NEW0001"));
    EXPECT_TRUE(db->fetchClienteByCodice("NEW002"));
    EXPECT_EQ(db->fetchParametroByAttributo("SYSTEM_ProgressivoCliente")->valore(), "2");
    EXPECT_FALSE(db->fetchParametroByAttributo("SYSTEM_mario_01.L1.xml")) << "the catalogue loads again";
    EXPECT_EQ(OrderCounter::next(*db), 3);

    // A counter lost all the same never gives a number an order already has.
    db->deleteGenericaTutteRows("Parametro");
    EXPECT_EQ(OrderCounter::next(*db), 3) << "the orders in the store are 1 and 2";
}
