#include <gtest/gtest.h>

#include "OrderFixture.h"
#include "platform/Format.h"

using namespace torvane;

namespace {

struct OrderPdfReportTest : test::OrderFixture {
    std::string path() { return dir.file("Ordine.pdf"); }
    // A field of pdfinfo's report ("Pages", "Page size"), without its label.
    std::string info(const std::string& field) {
        auto info = test::runTool("pdfinfo", {path()});
        EXPECT_EQ(info.exitCode, 0) << info.err;
        auto at = info.out.find(field + ":");
        if (at == std::string::npos) return {};
        at = info.out.find_first_not_of(' ', at + field.size() + 1);
        return info.out.substr(at, info.out.find('\n', at) - at);
    }
    int pages() { return std::stoi("0" + info("Pages")); }
    std::string pageText(int page) {
        auto text = test::runTool("pdftotext",
                                  {"-layout", "-f", std::to_string(page), "-l", std::to_string(page), path(), "-"});
        EXPECT_EQ(text.exitCode, 0) << text.err;
        return text.out;
    }
};

TEST_F(OrderPdfReportTest, ALongOrderBreaksPagesWithoutLosingOrCuttingARow) {
    listino("L01", "Listino estate", "MT");
    cliente("C01", "Rossi");
    auto t = ordine(21, "C01", "L01");
    for (int i = 1; i <= 500; ++i) riga(t, format("A%04d", i), "001", 2, "10.5");

    ASSERT_TRUE(reports().createReportPdfOrdine(t, path()));
    EXPECT_EQ(info("Page size").rfind("612 x 792", 0), 0u) << info("Page size");
    int count = pages();
    // Rows of 11-point text fill roughly fifty to a page between y = 50 and y = 692.
    EXPECT_GE(count, 8);
    EXPECT_LE(count, 14);

    std::string first = pageText(1);
    EXPECT_NE(first.find("Ordine NR.21 - Cliente di prova   Listino: Listino estate"), std::string::npos) << first;
    EXPECT_NE(first.find("2,00 x"), std::string::npos);
    EXPECT_NE(first.find("21,00"), std::string::npos) << "the amount";

    // Every row is on exactly one page, in order, and no page holds more than fits.
    int next = 1;
    std::vector<int> perPage;
    for (int p = 1; p <= count; ++p) {
        std::string text = pageText(p);
        int onPage = 0;
        while (next <= 500 && text.find(format("A%04d", next)) != std::string::npos) {
            ++next;
            ++onPage;
        }
        EXPECT_EQ(text.find(format("A%04d", next + 1)), std::string::npos) << "row " << next << " is missing";
        perPage.push_back(onPage);
    }
    EXPECT_EQ(next, 501);
    ASSERT_GE(perPage.size(), 3u);
    EXPECT_LT(perPage[0], perPage[1]) << "the title takes room on the first page only";
    for (std::size_t p = 1; p + 1 < perPage.size(); ++p) EXPECT_EQ(perPage[p], perPage[1]);
    EXPECT_TRUE(log->contains("Report PDF : Scelta 21 - Scelte presenti 500"));
    EXPECT_TRUE(log->contains("Scelta Riga: 500 A0500"));
}

TEST_F(OrderPdfReportTest, BadInputDrawsInsteadOfCrashing) {
    // No lines, no price list, a title far wider than the page and texts outside Latin-1.
    auto vuoto = ordine(22, "C01", "NOPE");
    vuoto.setClienteRagioneSociale(std::string(30, 'W') + " " + std::string(300, 'n') + " Ελληνικά \xF0\x9F\x98\x80");
    ASSERT_TRUE(reports().createReportPdfOrdine(vuoto, path()));
    EXPECT_EQ(pages(), 1);
    EXPECT_NE(pageText(1).find("Ordine NR.22"), std::string::npos);
    EXPECT_NE(pageText(1).find("Ελληνικά"), std::string::npos);

    auto t = ordine(23, "C01", "NOPE");
    // A row taller than a page is cut at the page's end; the rows after it still follow.
    riga(t, std::string(2000, 'K'), "001", 1, nullptr).setSerie(std::string("S"));
    riga(t, "ART2", "\xFF\xFE broken", 1, "1");  // not UTF-8
    ASSERT_TRUE(reports().createReportPdfOrdine(t, path()));
    std::string all;
    for (int p = 1, n = pages(); p <= n; ++p) all += pageText(p);
    EXPECT_NE(all.find("broken"), std::string::npos);
    EXPECT_NE(all.find("ART2"), std::string::npos);

    EXPECT_FALSE(reports().createReportPdfOrdine(t, dir.file("none/Ordine.pdf")));
}

TEST_F(OrderPdfReportTest, ASizeLineShowsItsOwnAmountNotTheAmountTimesThePieces) {
    listino("L01", "Listino estate", "NR");
    cliente("C01", "Rossi");
    auto t = ordine(24, "C01", "L01");
    auto r = riga(t, "MAGLIA", "010", 12, "120.00");
    db->createSceltaTagliaWithTaglia("S", r, {{"quantita", 5LL}, {"prezzo", std::string("10.00")}});
    db->createSceltaTagliaWithTaglia("M", r, {{"quantita", 7LL}, {"prezzo", std::string("10.00")}});
    ASSERT_TRUE(reports().createReportPdfOrdine(t, path()));
    const std::string text = pageText(1);
    EXPECT_NE(text.find("= EUR"), std::string::npos) << text;
    EXPECT_NE(text.find("120,00"), std::string::npos) << text;
    EXPECT_EQ(text.find("1.440,00"), std::string::npos) << "12 x 120,00 is not the line's amount:\n" << text;
}

}  // namespace

TEST_F(OrderPdfReportTest, ARightToLeftOverrideInATextEndsWithIt) {
    listino("L01", "Listino estate", "MT");
    cliente("C01", "Rossi");
    auto t = ordine(25, "C01", "L01");
    const std::string rlo = "\u202E";  // right-to-left override, never closed
    t.setClienteRagioneSociale("Rossi" + rlo + " Tessuti");
    riga(t, "ART" + rlo + "1", "001", 2, "10.5");
    ASSERT_TRUE(reports().createReportPdfOrdine(t, path()));
    const std::string text = pageText(1);
    EXPECT_NE(text.find("Listino: Listino estate"), std::string::npos) << text;
    EXPECT_NE(text.find("001"), std::string::npos) << text;
    EXPECT_NE(text.find("2,00 x"), std::string::npos) << text;
}
