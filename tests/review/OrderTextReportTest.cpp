#include <gtest/gtest.h>

#include "OrderFixture.h"
#include "platform/Format.h"

using namespace torvane;

namespace {

struct OrderTextReportTest : test::OrderFixture {
    std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> out;
        std::size_t start = 0;
        for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', start = end + 1))
            out.push_back(text.substr(start, end - start));
        out.push_back(text.substr(start));
        return out;
    }
};

TEST_F(OrderTextReportTest, FieldsAreRightAlignedToTheirWidthsAndLongValuesWrittenWhole) {
    listino("L01", "Listino estate", "MT");
    cliente("C01", "Rossi & Figli");
    auto t = ordine(3, "C01", "L01");
    t.setNote(std::string("Consegna urgente"));
    auto corta = riga(t, "AB", "001", 1234.5, "1234.5");
    corta.setSerie(std::string("1"));
    corta.setVarianteCommerciale(std::string("01"));
    riga(t, std::string(30, 'X'), "T+CC", 2, "3");
    riga(t, "ART", "002", 1, nullptr);

    std::string path = dir.file("Ordine.txt");
    ASSERT_TRUE(reports().createReportTxtOrdine(t, path));
    auto l = lines(test::readFile(path));
    ASSERT_EQ(l.size(), 11u);
    EXPECT_EQ(l[0], "Ordine: Rossi & Figli   Listino: Listino estate");
    EXPECT_EQ(l[1], "");
    EXPECT_EQ(l[2], std::string(67, '-'));
    EXPECT_EQ(l[3], "|   Articolo / Serie      |   Colore   |  Prezzo  |VC|UM|  Q.ta    |");
    EXPECT_EQ(l[4], l[2]);
    EXPECT_EQ(l[5], std::string(22, ' ') + "AB/1" + std::string(10, ' ') + "001" + "   1.234,50" + " 01" + " MT" +
                        "     1234,5");
    EXPECT_EQ(l[6], std::string(30, 'X') + "         T+CC" + "       3,00" + "   " + " N." + "          2")
        << "a 30-character code shifts the rest of the line";
    EXPECT_EQ(l[7], std::string(23, ' ') + "ART" + std::string(10, ' ') + "002" + std::string(11, ' ') + "   " +
                        " MT" + "          1");
    EXPECT_EQ(l[8], "");
    EXPECT_EQ(l[9], "Consegna urgente");
    EXPECT_EQ(l[10], "");
    EXPECT_TRUE(log->contains("Report TXT : Scelta 3 - Scelte presenti 3"));
}

TEST_F(OrderTextReportTest, MissingRecordsGiveEmptyFieldsAndNonLatinTextsAreMeasuredAsTheyShow) {
    auto t = ordine(4, "NOBODY", "NOLIST");
    riga(t, "\xE6\x97\xA5\xE6\x9C\xAC", "\xF0\x9F\x98\x80", 1, "1");  // two CJK characters, one emoji
    std::string text = reports().createReportTxtOrdine(t, dir.file("o.txt")) ? test::readFile(dir.file("o.txt")) : "";
    auto l = lines(text);
    ASSERT_GE(l.size(), 6u);
    EXPECT_EQ(l[0], "Ordine:    Listino: ");
    // The emoji counts as two units, as the platform measures texts.
    EXPECT_EQ(l[5], std::string(24, ' ') + "\xE6\x97\xA5\xE6\x9C\xAC" + std::string(11, ' ') + "\xF0\x9F\x98\x80" +
                        "       1,00" + "      " + std::string(10, ' ') + "1");
    EXPECT_FALSE(reports().createReportTxtOrdine(t, dir.file("none/o.txt")));
}

TEST(ReportSceltaHelpers, CodesComeOutOfBrackets) {
    // Without a closing bracket the code is the rest of the text.
    for (auto [text, code] : {std::pair{"[ITA] Italia", "ITA"}, {"ITA", "ITA"}, {"", ""}, {"[]x", ""}, {"[ABC", "ABC"}})
        EXPECT_EQ(ReportScelta::estraiCodiceFromDescrizione(text), code) << text;
}

}  // namespace
