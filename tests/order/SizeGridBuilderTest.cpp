#include <gtest/gtest.h>

#include "SizeGridFixture.h"
#include "rules/SizeGridBuilder.h"

using namespace torvane;

namespace {

using Builder = test::SizeGridFixture;

std::vector<std::string> codici(const std::vector<ColoreSxBarra>& radici) {
    std::vector<std::string> out;
    for (const auto& r : radici) out.push_back(*r.codice());
    return out;
}

std::vector<std::string> taglie(const ColoreSxBarra& radice) {
    std::vector<std::string> out;
    for (const auto& r : radice.tempSceltaTaglie()) out.push_back(*r.taglia());
    return out;
}

}  // namespace

TEST_F(Builder, OneRootPerColourPrefixAndOneRowPerSizeInGroupOrder) {
    gruppo({"XL", "S", "M"});
    SizeGridBuilder::prepare(*db, *articolo, std::nullopt);
    ASSERT_EQ(codici(radici()), (std::vector<std::string>{"10", "20"}));
    for (const auto& radice : radici()) EXPECT_EQ(taglie(radice), (std::vector<std::string>{"XL", "S", "M"}));
    EXPECT_EQ(quantita(0), (std::vector<long long>{0, 0, 0}));
    EXPECT_TRUE(db->doCommit()) << "automatic commit is put back once the grid is built";
    auto altra = Database::openFile(db->filePath(), "T");
    EXPECT_EQ(std::get<long long>(altra->connection()->query("SELECT COUNT(*) FROM \"TempSceltaTaglia\"")[0][0]), 0)
        << "the grid stays pending until the line is confirmed";
    EXPECT_TRUE(log->contains("Creo TABELLA Colori x Articolo : ART2"));
}

TEST_F(Builder, FillsTheLinesOfTheCurrentOrderOnly) {
    gruppo({"S", "M", "L"});
    auto corrente = ordine(1, 0);
    riga(corrente, "ART2", "10", {{"M", 4}, {"L", 2}, {"XXL", 9}});  // a size the group lacks is skipped
    riga(corrente, "ART9", "20", {{"S", 7}});                        // another article
    riga(ordine(2, 0), "ART2", "20", {{"S", 5}});                     // another order
    SizeGridBuilder::prepare(*db, *articolo, corrente);
    EXPECT_EQ(quantita(0), (std::vector<long long>{0, 4, 2}));
    EXPECT_EQ(quantita(1), (std::vector<long long>{0, 0, 0}));
    EXPECT_TRUE(log->contains("Ci sono N. 2 righe di scelta esistenti"));
}

TEST_F(Builder, WithoutACurrentOrderOnlyASingleOpenOrderCounts) {
    gruppo({"S", "M"});
    riga(ordine(1, 0), "ART2", "20", {{"S", 3}});
    riga(ordine(2, 1), "ART2", "20", {{"M", 8}});  // sent: not open
    SizeGridBuilder::prepare(*db, *articolo, std::nullopt);
    EXPECT_EQ(quantita(1), (std::vector<long long>{3, 0}));

    riga(ordine(3, 0), "ART2", "20", {{"M", 1}});  // two open orders: neither is taken
    SizeGridBuilder::prepare(*db, *articolo, std::nullopt);
    EXPECT_EQ(quantita(1), (std::vector<long long>{0, 0}));
}

TEST_F(Builder, PreparingAgainRebuildsTheRowsWithoutDuplicates) {
    gruppo({"S", "M", "L"});
    SizeGridBuilder::prepare(*db, *articolo, std::nullopt);
    radici()[0].tempSceltaTaglie()[1].setQuantita(6);
    SizeGridBuilder::prepare(*db, *articolo, std::nullopt);
    EXPECT_EQ(codici(radici()), (std::vector<std::string>{"10", "20"}));
    EXPECT_EQ(count("ColoreSxBarra"), 2);
    EXPECT_EQ(count("TempSceltaTaglia"), 6);
    EXPECT_EQ(quantita(0), (std::vector<long long>{0, 0, 0})) << "an unconfirmed grid is dropped";
}
