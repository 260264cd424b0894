#include <gtest/gtest.h>

#include "SizeGridFixture.h"
#include "rules/SizeGridBuilder.h"
#include "order/TaglieCell.h"

using namespace torvane;

namespace {

using Summary = test::SizeGridFixture;

const ui::Label& label(const ui::Row& row, std::size_t i) { return std::get<ui::Label>(row.items.at(i)); }

std::vector<std::string> texts(const ui::Row& row) {
    std::vector<std::string> out;
    for (const ui::Item& item : row.items) out.push_back(std::get<ui::Label>(item).text);
    return out;
}

}  // namespace

TEST_F(Summary, ThreeSizesShowTheTotalInTheLastColumn) {
    gruppo({"S", "M", "L"});
    SizeGridBuilder::prepare(*db, *articolo, std::nullopt);
    radici()[0].tempSceltaTaglie()[1].setQuantita(4);
    radici()[0].tempSceltaTaglie()[2].setQuantita(2);
    const std::vector<ui::Row> rows = TaglieCell::righe(*db, *articolo);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(texts(rows[0]), (std::vector<std::string>{"Taglie", "S", "M", "L", "", "", "", "", "Tot."}));
    EXPECT_EQ(rows[0].kind, "TaglieCell");
    EXPECT_EQ(texts(rows[1]), (std::vector<std::string>{"10", "", "4", "2", "", "", "", "", "6"}))
        << "zero quantities stay blank";
    EXPECT_EQ(texts(rows[2]), (std::vector<std::string>{"20", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(TaglieCell::totaleTaglie(radici()), "6");
    radici()[0].tempSceltaTaglie()[1].setQuantita(0);
    radici()[0].tempSceltaTaglie()[2].setQuantita(0);
    EXPECT_EQ(TaglieCell::totaleTaglie(radici()), "");
}

TEST_F(Summary, TenSizesShowTheFirstEightAndNoTotal) {
    gruppo({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"});
    SizeGridBuilder::prepare(*db, *articolo, std::nullopt);
    const auto righe = radici()[0].tempSceltaTaglie();
    righe[0].setQuantita(1);
    righe[9].setQuantita(5);  // the tenth size: no column, but ordered and counted
    const std::vector<ui::Row> rows = TaglieCell::righe(*db, *articolo);
    EXPECT_EQ(texts(rows[0]), (std::vector<std::string>{"Taglie", "1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(texts(rows[1]), (std::vector<std::string>{"10", "1", "", "", "", "", "", "", ""}))
        << "the eighth column belongs to the eighth size, not to the total";
    righe[7].setQuantita(3);
    EXPECT_EQ(label(TaglieCell::righe(*db, *articolo)[1], 8).text, "3");
    EXPECT_EQ(TaglieCell::totaleTaglie(radici()), "9");
}

TEST_F(Summary, SevenSizesStillHaveTheTotalColumn) {
    const std::vector<std::string> seven{"1", "2", "3", "4", "5", "6", "7"};
    EXPECT_EQ(label(TaglieCell::rigaIntestazione(seven), 8).text, "Tot.");
    EXPECT_EQ(label(TaglieCell::rigaRadice("10", {1, 0, 0, 0, 0, 0, 2}, 7), 8).text, "3");
    EXPECT_EQ(texts(TaglieCell::rigaIntestazione(std::vector<std::string>{})).back(), "Tot.");
}
