#include <gtest/gtest.h>

#include "OrderFixture.h"
#include "loader/xml/HtmlDocument.h"

using namespace torvane;

namespace {

struct OrderHtmlReportTest : test::OrderFixture {
    void SetUp() override {
        OrderFixture::SetUp();
        prefs().setString(keys::pref_FOTOURL, "http://foto.example.com");
        prefs().setBool(keys::pref_REPORTHTMLCONFOTOENABLED, true);
        prefs().setString(keys::pref_REPORTHTMLCONPREZZIENABLED, "YES");
    }
    std::string html(const SceltaTestata& t) {
        auto page = reports().createReportHtmlOrdine(t);
        EXPECT_TRUE(page);
        return page.value_or(std::string());
    }
    // The line rows: each from its article cell up to the next one (the last up to the end).
    static std::vector<std::string> rows(const std::string& page) {
        static const std::string marker = "<TR><TD align=\"left\"><b>";
        std::vector<std::string> out;
        for (auto at = page.find(marker); at != std::string::npos;) {
            auto next = page.find(marker, at + 1);
            out.push_back(page.substr(at, next == std::string::npos ? std::string::npos : next - at));
            at = next;
        }
        return out;
    }
    static bool has(const std::string& page, const std::string& part) { return page.find(part) != std::string::npos; }
    static void expectParts(const std::string& page, std::initializer_list<std::string> parts) {
        for (const auto& part : parts) EXPECT_TRUE(has(page, part)) << part;
    }
};

TEST_F(OrderHtmlReportTest, OnePriceListWithTermsArticleDataPhotosPricesAndTotal) {
    auto l = listino("L01", "Estate", "MT");
    auto c = cliente("C01", "Rossi", {{"pagamento", "P30"}, {"spedizioniere", "S1"}, {"abbonamento", "AB12"},
                                      {"resa", "NOPE"}});  // no such "resa": no row
    db->createPagamentoWithCodice("P30", {{"descrizione", "30 giorni"}});
    db->createSpedizioniereWithCodice("S1", {{"ragioneSociale", "Corriere"}});
    db->createDestinazioneWithCodice("2", c, {{"ragioneSociale1", "Magazzino"}, {"cap", "20100"}, {"citta", "Milano"}});
    db->createAgenteWithCodice("A1", {{"ragioneSociale", "Mario Bianchi"}});
    articolo("ART1", std::nullopt,
             {{"descrizione1", "Popeline"}, {"composizione", "100% cotone"}, {"pesoGr", "120"}, {"fotoUrl", "art1.jpg"}});
    articolo("ART2", std::nullopt, {{"fotoUrl", "http://cdn.example.com/art2.jpg"}});
    auto entry = db->createArticoloListinoWithArticolo("ART1", l);
    db->createPrezzoWithVarianteCommerciale("01", *entry)->setValore(Decimal::parse("4.5"));
    db->createVarianteCommercialeWithCodice("01")->setDescrizioneITA("Base");
    auto t = ordine(30, "C01", "L01");
    t.setAgente("A1");
    t.setClienteDestinazione("2");
    t.setNote("Consegna a marzo");
    t.setFirma(std::vector<unsigned char>{1, 2, 3});
    riga(t, "ART1", "001", 10, "4.5").setVarianteCommerciale("01");
    riga(t, "ART1", "T+CC", 1, "2");
    riga(t, "ART2", "002", 1.5, "3");

    std::string page = html(t);
    EXPECT_EQ(page.rfind("<HTML><TITLE>Cliente di prova del 04/03/2026</TITLE><BODY>", 0), 0u);
    expectParts(page, {"<TABLE><img src=\"http://foto.example.com/LOGO.JPG\"></TABLE>",
                       "Destinazione Merce: [2]<BR><b>Magazzino</b><BR>20100&nbsp;Milano&nbsp;<BR>",
                       "Cliente: [C01]<BR><b>Cliente di prova</b><BR>",
                       "<b>Proposta di ordine NR. 30</b>  del 04/03/2026 ora ", "<b>Agente</b> Mario Bianchi",
                       "Listino: Estate [L01]", "Pagamento: 30 giorni",
                       "Spedizioniere: Corriere<BR>Abbonamento: AB12"});
    EXPECT_FALSE(has(page, "Resa:"));
    EXPECT_TRUE(has(page, "<TH>Articolo</TH><TH>Colore</TH><TH>UM</TH><TH>Quantita</TH><TH>Prezzo EUR</TH>"
                          "<TH>Importo EUR</TH>"));
    auto r = rows(page);
    ASSERT_EQ(r.size(), 3u);
    expectParts(r[0], {"<b>ART1</b><BR>Popeline<BR><TABLE><TR><TD colspan=\"2\" >100% cotone</TD></TR>"
                       "<TR><TD colspan=\"2\" >Gr. 120</TD></TR></TABLE>",
                       "<BR><img src=\"http://foto.example.com/art1.jpg\" />", "<TD><b>001</b><BR>Base</TD\n>",
                       "<TD>MT</TD>\n", "<TD align=\"right\">4,50</TD>\n<TD align=\"right\">45,00</TD>\n"});
    expectParts(r[1], {"<TD> N.</TD>\n",
                       "<TABLE><TR><TD>01 Base</TD><TD align=\"right\">    4.50</TD></TR>\n</TABLE></TD> <TD></TD>"});
    EXPECT_TRUE(has(r[2], "<img src=\"http://cdn.example.com/art2.jpg\" />")) << "an address with http:// is kept";
    expectParts(page, {"Totale IVA esclusa</TD><TD align=\"right\" >51,50</TD></TR>\n",
                       "<TR><TD colspan=\"6\">\n<b>Note:</b> Consegna a marzo</TD></TR>\n",
                       "Ordine firmato in calce <img src=\"FirmaOrdine.jpg\" />"});
    EXPECT_TRUE(page.ends_with("<BR>\n\n</BODY></HTML>\n"));
    EXPECT_TRUE(log->contains("Report TXT : Scelta 30 - Scelte presenti 3"));
}

TEST_F(OrderHtmlReportTest, WithPricesOffEveryRowEndsInTwoEmptyCellsAndThereIsNoTotal) {
    prefs().setString(keys::pref_REPORTHTMLCONPREZZIENABLED, "NO");
    listino("L01", "Estate", "NR");
    cliente("C01", "Rossi");
    auto t = ordine(31, "C01", "L01");
    t.setPresenzaTaglie(true);
    riga(t, "ART1", "001", 3, "9");
    auto conTaglie = riga(t, "ART1", "002", 5, "20");
    for (auto [taglia, quantita] : {std::pair{"S", 2}, std::pair{"M", 3}})
        db->createSceltaTagliaWithTaglia(taglia, conTaglie)->setQuantita(quantita);

    std::string page = html(t);
    EXPECT_TRUE(has(page, "<TH>NR</TH><TH>Taglie</TH>"));
    auto r = rows(page);
    ASSERT_EQ(r.size(), 2u);
    for (const auto& row : r) EXPECT_TRUE(has(row, "</TD>\n<TD></TD><TD></TD>\n</TR>\n")) << row;
    EXPECT_TRUE(has(r[1], "<TD>5</TD>\n")) << "the unit cell holds the line's quantity";
    EXPECT_TRUE(has(r[1], "<TABLE>\n<TR><TD align=\"left\">S</TD><TD align=\"right\">2</TD></TR>\n"
                          "<TR><TD align=\"left\">M</TD><TD align=\"right\">3</TD></TR>\n</TABLE>"));
    EXPECT_FALSE(has(page, "Totale IVA esclusa"));
}

TEST_F(OrderHtmlReportTest, AnOrderOverTwoPriceListsGetsTwoSectionsWithTheirOwnLinesAndTotals) {
    listino("L01", "Estate").setLogoUrl("logo-estate.png");
    listino("L02", "Inverno").setCollezione("AI26");
    cliente("C01", "Rossi");
    auto t = ordine(32, "C01", "LISTINOCAMBIATO");
    riga(t, "EST1", "001", 2, "10", std::string("L01"));
    riga(t, "INV1", "001", 1, "7", std::string("L02"));
    riga(t, "EST2", "001", 1, "1", std::string("L01"));

    std::string page = html(t);
    EXPECT_EQ(test::occurrences(page, "<TABLE border=\"1\""), 2u);
    auto second = page.find("<TABLE><img src=\"http://foto.example.com/LOGO.JPG\"></TABLE>");
    ASSERT_NE(second, std::string::npos);
    std::string estate = page.substr(0, second), inverno = page.substr(second);
    expectParts(estate, {"<TABLE><img src=\"http://foto.example.com/logo-estate.png\" width=\"200\" height=\"70\">",
                         "Listino: Estate [L01]", "<b>EST1</b>", "<b>EST2</b>",
                         "Totale IVA esclusa</TD><TD align=\"right\" >21,00"});
    EXPECT_FALSE(has(estate, "INV1"));
    expectParts(inverno, {"<b>Proposta di ordine NR. 32</b> del 04/03/2026 ora ", " <b>Collezione:AI26</b>",
                          "<b>INV1</b>", "Totale IVA esclusa</TD><TD align=\"right\" >7,00"});
    EXPECT_FALSE(has(inverno, "EST"));

    auto vuoto = ordine(33, "C01", "LISTINOCAMBIATO");
    EXPECT_FALSE(reports().createReportHtmlOrdine(vuoto));
    EXPECT_TRUE(log->contains("Listini non trovati !?!?"));
}

TEST_F(OrderHtmlReportTest, DestinationsTheClientLacksPrintIdemAndDatesUseTheCalendarYear) {
    listino("L01", "Estate");
    cliente("C01", "Rossi");
    auto t = ordine(34, "C01", "L01");
    t.setDataCreazione(parseIsoDate("2024-12-30T12:00:00Z"));
    EXPECT_TRUE(has(html(t), "Destinazione Merce:<BR><BR>IDEM<BR><BR><BR><BR><BR>"));
    EXPECT_TRUE(has(html(t), " del 30/12/2024 ora ")) << "not the year of the week (2025)";
    t.setClienteDestinazione("9");
    EXPECT_TRUE(has(html(t), "Destinazione Merce: 9<BR><BR>IDEM<BR><BR><BR><BR><BR>"));
    t.setCliente("GONE");
    EXPECT_TRUE(has(html(t), "Destinazione Merce: 9<BR><BR>IDEM")) << "no client record at all";
}

TEST_F(OrderHtmlReportTest, DataTextsAreEscapedSoTheyCannotAddMarkup) {
    auto l = listino("L01", "Estate & <Co>");
    cliente("C01", "Rossi", {{"indirizzo1", "Via \"Roma\" <1>"}});
    articolo("ART1", std::nullopt,
             {{"descrizione1", "<b onmouseover=alert(1)>Popeline</b>"}, {"fotoUrl", "x.jpg\" onerror=\"alert(1)"}});
    auto t = ordine(35, "C01", "L01");
    t.setClienteRagioneSociale("Rossi & Figli <Moda>");
    t.setNote("<script>alert('x')</script>");
    riga(t, "ART1", "<i>", 1, "1").setNota("fine </TD></TR></TABLE>");
    prefs().setString(keys::pref_NOTE, "Note <ordine>:");

    std::string page = html(t);
    expectParts(page, {"<TITLE>Rossi &amp; Figli &lt;Moda&gt; del", "Via &quot;Roma&quot; &lt;1&gt;<BR>",
                       "Listino: Estate &amp; &lt;Co&gt; [L01]",
                       "<b>Note &lt;ordine&gt;:</b> &lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;",
                       "<img src=\"http://foto.example.com/x.jpg&quot; onerror=&quot;alert(1)\" />",
                       "<b>&lt;i&gt;</b>"});

    auto parsed = HtmlDocument::initWithXHTMLData(page);
    ASSERT_TRUE(parsed);
    for (const char* xpath : {"//script", "//img/@onerror", "//*[@onmouseover]", "//i"}) {
        auto found = (*parsed)->nodesForXPath(xpath);
        ASSERT_TRUE(found) << xpath;
        EXPECT_TRUE(found->empty()) << xpath;
    }
}

}  // namespace
