// The client detail and its wide detail, built from statistics and exposure records in a
// real store and read through the screens' own rows.
#include <gtest/gtest.h>

#include "clients/DettaglioClienteLandscapeViewController.h"
#include "clients/DettaglioClienteViewController.h"
#include "clients/ElencoClientiViewController.h"
#include "clients/FormatiStatistica.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "session/CompanySession.h"
#include "store/Database.h"
#include "store/StoreFixture.h"
#include "support/FakeUi.h"
#include "support/RowTexts.h"

using namespace torvane;
using namespace torvane::test;

namespace {

using Texts = std::vector<std::string>;

Decimal d(const char* text) { return *Decimal::parse(text); }

TEST(PrezzoAlMetro, RoundsHalfUpToOneDecimalAndNeverDividesByZero) {
    using formati::prezzoAlMetro;
    EXPECT_EQ(prezzoAlMetro(d("2550"), d("213")), d("12.0"));  // 11.97...
    EXPECT_EQ(prezzoAlMetro(d("3"), d("20")), d("0.2")) << "0.15 rounds up";
    EXPECT_EQ(prezzoAlMetro(d("1"), d("8")), d("0.1")) << "0.125 rounds down";
    EXPECT_EQ(prezzoAlMetro(d("-3"), d("20")), d("-0.2")) << "a refund rounds away from zero";
    EXPECT_EQ(prezzoAlMetro(d("100"), d("0")), d("0"));
    EXPECT_EQ(prezzoAlMetro(d("100"), d("-4")), d("0"));
    EXPECT_EQ(prezzoAlMetro(d("1"), d("0.000000000000000001")), d("0")) << "below what the division counts";
    EXPECT_EQ(prezzoAlMetro(d("0.3"), d("0.1")), d("3.0")) << "exact in decimals, where binary gives 2.9999";
    const std::string nove(36, '9');
    EXPECT_EQ(prezzoAlMetro(d(nove.c_str()), d("0.001")), d(nove.c_str())) << "held at the largest figure";
    EXPECT_EQ(prezzoAlMetro(d("1000000000000000000000000000000"), d("0.001")), d("1000000000000000000000000000000000"));
}

// The rows below show values, price per metre and exposure; these figures they never reach.
TEST(FormatiStatistica, WholeFiguresAreTruncatedBeforePrinting) {
    EXPECT_EQ(formati::esposizione(d("-1234.56")), "-1.234,00");
    EXPECT_EQ(formati::valoriOVuoto(d("0.99")), "");
    EXPECT_EQ(formati::quantita(d("12345.9")), "12.345");
    EXPECT_EQ(formati::pezzi(d("7.9"), 4), "   7");
}

struct ClientDetail : StoreFixture {
    FakeUi ui;
    std::shared_ptr<ui::Screen> root = std::make_shared<ui::Screen>(ui);
    std::optional<Cliente> cliente;

    void SetUp() override {
        StoreFixture::SetUp();
        cliente = db->createClienteWithBarCode("C001", {{"codice", "C001"}, {"ragioneSociale1", "Rossi Tessuti"}});
        ui.showTabs({{"SCELTA", "", root}});
    }

    StatCliente stat() {
        if (auto found = db->fetchStatClienteByCodice("C001")) return *found;
        return *db->createStatClienteWithCodice("C001", {{"divisa", std::string("EUR")}});
    }
    StatCollezione collezione(const char* codice, const char* um, const char* quantita, const char* pezzi,
                              const char* valore) {
        ColumnValues values = {{"divisa", std::string("EUR")},
                               {"totQuantita", std::string(quantita)},
                               {"totPezzi", std::string(pezzi)},
                               {"totValore", std::string(valore)}};
        if (um) values.emplace_back("um", std::string(um));
        return *db->createStatCollezioneWithCodice(codice, stat(), values);
    }
    // One type of one business of an article (made on first use).
    void venduto(const StatCollezione& collezione, const char* articolo, const char* business, const char* tipo,
                 const char* quantita, const char* pezzi, const char* valore) {
        auto art = db->fetchStatArticoloByStatCollezione("C001", *collezione.codice(), articolo);
        if (!art) art = db->createStatArticoloWithCodice(articolo, collezione);
        auto bus = db->fetchStatBusinessByStatArticolo("C001", *collezione.codice(), articolo, business);
        if (!bus) bus = db->createStatBusinessWithCodice(business, *art);
        db->createStatTipoWithCodice(tipo, *bus,
                                     {{"quantita", std::string(quantita)},
                                      {"pezzi", std::string(pezzi)},
                                      {"valore", std::string(valore)}});
    }

    std::shared_ptr<DettaglioClienteViewController> dettaglio() {
        return std::make_shared<DettaglioClienteViewController>(ui, *cliente, CompanySession::over(db));
    }
    std::shared_ptr<DettaglioClienteLandscapeViewController> orizzontale() {
        return std::make_shared<DettaglioClienteLandscapeViewController>(ui, *cliente, CompanySession::over(db));
    }
    static Texts titoli(const ui::Screen& screen) {
        Texts titles;
        for (int s = 0; s < screen.numberOfSections(); ++s) titles.push_back(screen.sectionHeader(s).title);
        return titles;
    }
    static int indice(const ui::Screen& screen, const std::string& titolo) {
        for (int s = 0; s < screen.numberOfSections(); ++s)
            if (screen.sectionHeader(s).title == titolo) return s;
        return -1;
    }
    // The texts of the labels of a row.
    static Texts riga(const ui::Screen& screen, const std::string& titolo, int row) {
        const int s = indice(screen, titolo);
        return s < 0 ? Texts{"(manca " + titolo + ")"} : labelTexts(screen.rowAt(s, row));
    }
    // The five columns of a row, without the bar of a collection's summary row.
    static Texts colonne(const ui::Screen& screen, const std::string& titolo, int row) {
        Texts texts = riga(screen, titolo, row);
        if (texts.size() > 5) texts.resize(5);
        return texts;
    }
    static size_t blocchi(const ui::Screen& screen, int row) {
        Texts texts = riga(screen, "Sintesi per Collezione", row);
        return texts.size() == 6 ? texts[5].size() / std::string("\u2588").size() : 99;
    }
    static Texts ultima(const ui::Screen& screen, const std::string& titolo) {
        const int s = indice(screen, titolo);
        return riga(screen, titolo, s < 0 ? 0 : screen.numberOfRows(s) - 1);
    }
};

TEST_F(ClientDetail, PricePerMetreHasACommaInTheSummaryAndAPointInTheArticleRows) {
    auto ai12 = collezione("AI12", "MT", "213", "3", "2550");
    venduto(ai12, "LANA", "Produzione", "Q.ta", "213", "3", "2550");
    auto screen = dettaglio();
    EXPECT_EQ(screen->title(), "Rossi Tessuti");
    EXPECT_EQ(riga(*screen, "Sintesi per Collezione", 0), (Texts{"Collezione", "Q.ta", "Pz", "EUR", "PrM"}));
    EXPECT_EQ(colonne(*screen, "Sintesi per Collezione", 1), (Texts{"AI12 MT", "213", "  3", "2.550", "12,0"}));
    EXPECT_EQ(riga(*screen, "Sintesi per Collezione", 2), (Texts{"Totale", "213", "   3", "2.550", "12,0"}));
    EXPECT_EQ(riga(*screen, "Dettaglio Collezione AI12", 0), (Texts{"Articolo", "MT", "Pz", "EUR", "PrM"}));
    EXPECT_EQ(riga(*screen, "Dettaglio Collezione AI12", 1), (Texts{"LANA", "213", "   3", "2.550", "12.0"}));
    EXPECT_EQ(ultima(*screen, "Dettaglio Collezione AI12"), (Texts{"Tot.AI12", "213", "   3", "2.550", "12,0"}));
    EXPECT_TRUE(log->contains("DettaglioClienteViewController - Creata Sezione Dettaglio Collezione : "
                              "Dettaglio Collezione AI12 da Field=5 Righe:3"));
}

TEST_F(ClientDetail, QuantityTotalsAddUpOnlyInOneUnit) {
    collezione("AI12", "MT", "100", "2", "1000");
    collezione("PE13", "NR", "50", "5", "500.75");
    auto screen = dettaglio();
    EXPECT_EQ(ultima(*screen, "Sintesi per Collezione"), (Texts{"Totale", "", "", "1.500", ""}));
    EXPECT_EQ(blocchi(*screen, 1), 20u) << "the largest value has the whole bar";
    EXPECT_EQ(blocchi(*screen, 2), 10u) << "the other in proportion, truncated";

    // The same unit throughout: quantities add up, and a total PrM of 100 or more has no decimals.
    db->deleteStatClienteAndChildren(stat());
    collezione("AI12", "MT", "10", "2", "1000");
    collezione("AI13", "MT", "2", "1", "500");
    EXPECT_EQ(ultima(*dettaglio(), "Sintesi per Collezione"), (Texts{"Totale", "12", "   3", "1.500", "125"}));

    // A collection without a unit among collections in metres does not count in metres.
    collezione("ACC", nullptr, "5", "1", "10");
    EXPECT_EQ(ultima(*dettaglio(), "Sintesi per Collezione"), (Texts{"Totale", "", "", "1.510", ""}));
}

TEST_F(ClientDetail, TccOnlyArticlesStayOutOfThePortraitDetailAndFillTheirOwnWideTable) {
    auto ai12 = collezione("AI12", "MT", "0", "0", "0");
    venduto(ai12, "CARTELLA", "Campionario", "T+CC", "4", "0", "0");
    auto pe13 = collezione("PE13", "MT", "30", "0", "360");
    venduto(pe13, "ZETA", "Produzione", "Q.ta", "30", "0", "360");
    venduto(pe13, "ZETA", "Campionario", "T+CC", "9", "9", "99");
    venduto(pe13, "ALFA", "Campionario", "T+CC", "2", "0", "0");
    venduto(pe13, "BETA", "Produzione", "Q.ta", "1", "0", "12");

    auto screen = dettaglio();
    EXPECT_EQ(indice(*screen, "Dettaglio Collezione AI12"), -1) << "nothing but T+CC: the section is dropped";
    EXPECT_EQ(riga(*screen, "Dettaglio Collezione PE13", 1), (Texts{"BETA", "1", "   0", "12", "12.0"})) << "in code order";
    EXPECT_EQ(riga(*screen, "Dettaglio Collezione PE13", 2), (Texts{"ZETA", "30", "   0", "360", "12.0"}))
        << "T+CC left out of the figures";
    EXPECT_EQ(screen->numberOfRows(indice(*screen, "Dettaglio Collezione PE13")), 4) << "ALFA has no row";

    auto wide = orizzontale();
    EXPECT_EQ(titoli(*wide), (Texts{"Collezione AI12 - Solo T+CC", "Collezione PE13 - Articoli in produzione",
                                    "Collezione PE13 - Solo T+CC"}));
    EXPECT_EQ(riga(*wide, "Collezione PE13 - Articoli in produzione", 1).at(0), "BETA");
    EXPECT_EQ(riga(*wide, "Collezione AI12 - Solo T+CC", 1),
              (Texts{"CARTELLA", "  4", "", "", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(riga(*wide, "Collezione AI12 - Solo T+CC", 0),
              (Texts{"Articolo", "Campionario", "", "T+CC", "", "", "", "", ""}));
    EXPECT_TRUE(log->contains("    -> Articolo solo cartelle: CARTELLA"));
}

TEST_F(ClientDetail, WideTablesSplitProductionFromSamplesWithTheirOwnColumns) {
    auto ai12 = collezione("AI12", "MT", "0", "0", "0");
    venduto(ai12, "PROD", "Produzione", "Q.ta", "1200", "40", "15000.80");
    venduto(ai12, "PROD", "Campionario", "Met.", "3", "0", "45");
    venduto(ai12, "CAMP", "Campionario", "Tir.", "2.5", "0", "30");
    venduto(ai12, "CAMP", "Campionario", "Pz.Ca.", "1", "6", "12");
    venduto(ai12, "CAMP", "Campionario", "Boh", "1", "1", "1000");
    venduto(ai12, "CAMP", "Ignoto", "Q.ta", "1", "1", "1000");
    auto wide = orizzontale();
    const std::string produzione = "Collezione AI12 - Articoli in produzione";
    const std::string campionature = "Collezione AI12 - Campionature senza produzione";
    EXPECT_EQ(titoli(*wide), (Texts{produzione, campionature}));
    EXPECT_EQ(riga(*wide, produzione, 0),
              (Texts{"Articolo", "Campionario", "Produzione", "Tagli", "PzC.  MT", "EUR", "Pz", "MT", "EUR"}));
    EXPECT_EQ(riga(*wide, produzione, 1),
              (Texts{"PROD", "3", "0", "0", "45", "40", "1.200", "15.000", "15.045", "", "", ""}));
    EXPECT_EQ(riga(*wide, campionature, 0),
              (Texts{"Articolo", "Campionario", "", "Tagli", "PzC.  MT", "EUR", "", "", ""}));
    EXPECT_EQ(riga(*wide, campionature, 1), (Texts{"CAMP", "2", "6", "1", "42", "", "", "", "", "", "", ""}))
        << "unknown types and businesses are not counted; no total value for samples";
    EXPECT_TRUE(log->contains("Campionario - Tipo Boh: non conteggiato !!!"));
    EXPECT_TRUE(log->contains("    Business sconosciuto : Ignoto"));
    EXPECT_TRUE(log->contains("DettaglioClienteLandscapeViewController - Create 3 Sezioni x Collezione : AI12 [Righe 2,2,1]"));
}

TEST_F(ClientDetail, WideFiguresAreWorkedOutOnceAndKeptInTheStore) {
    auto ai12 = collezione("AI12", "MT", "10", "0", "100");
    venduto(ai12, "LANA", "Produzione", "Q.ta", "10", "0", "100");
    db->commit();
    EXPECT_EQ(orizzontale()->articoliCalcolati(), 1);
    db->rollback();  // the figures were committed with the mark
    auto lana = db->fetchStatArticoloByStatCollezione("C001", "AI12", "LANA");
    EXPECT_EQ(lana->zFlag(), true);
    EXPECT_EQ(lana->zProdVal(), d("100"));

    // Kept figures are read as they are, even when the businesses changed since.
    venduto(ai12, "LANA", "Produzione", "Q.ta", "10", "0", "900");
    auto again = orizzontale();
    EXPECT_EQ(again->articoliCalcolati(), 0);
    EXPECT_EQ(riga(*again, "Collezione AI12 - Articoli in produzione", 1).at(7), "100");

    // A new load of the statistics replaces the records, and with them the kept figures.
    db->deleteStatClienteAndChildren(stat());
    auto nuova = collezione("AI12", "MT", "10", "0", "900");
    venduto(nuova, "LANA", "Produzione", "Q.ta", "10", "0", "900");
    EXPECT_EQ(orizzontale()->articoliCalcolati(), 1);
}

TEST_F(ClientDetail, ZeroAndNegativeQuantitiesNeverDivide) {
    auto ai12 = collezione("AI12", "MT", "0", "0", "250");
    venduto(ai12, "RESO", "Produzione", "Q.ta", "-5", "0", "250");
    venduto(ai12, "VUOTO", "Produzione", "Q.ta", "0", "0.5", "0");
    auto pe13 = collezione("PE13", "MT", "-20", "-1", "-300");
    venduto(pe13, "STORNO", "Produzione", "Q.ta", "-20", "-1", "-300");
    auto screen = dettaglio();
    EXPECT_EQ(colonne(*screen, "Sintesi per Collezione", 1), (Texts{"AI12 MT", "0", "  0", "250", "0,0"}));
    EXPECT_EQ(colonne(*screen, "Sintesi per Collezione", 2), (Texts{"PE13 MT", "-20", " -1", "-300", "0,0"}));
    EXPECT_EQ(riga(*screen, "Dettaglio Collezione AI12", 1), (Texts{"RESO", "-5", "   0", "250", "0.0"}));
    EXPECT_EQ(screen->numberOfRows(indice(*screen, "Dettaglio Collezione AI12")), 3)
        << "half a piece, no metres and no value: no row";
    EXPECT_EQ(indice(*screen, "Dettaglio Collezione PE13"), -1) << "totals all below zero";
    EXPECT_EQ(blocchi(*screen, 2), 0u) << "a negative value has no bar";
}

TEST_F(ClientDetail, StatisticsWithoutCollectionsShowAZeroTotal) {
    stat();
    auto screen = dettaglio();
    EXPECT_EQ(titoli(*screen), (Texts{"Sintesi per Collezione", "Condizioni di Vendita"}));
    EXPECT_EQ(riga(*screen, "Sintesi per Collezione", 1), (Texts{"Totale", "0", "   0", "0", "0,0"}));
}

TEST_F(ClientDetail, ExposureAgentsPaymentConditionsAndNotes) {
    auto esposizione = db->createEsposizioneClienteWithCodice("C001");
    db->createEsposizioneForEsposizioneCliente(*esposizione, {{"descrizione", std::string("Saldo Contabile")},
                                                              {"valore", std::string("1234.56")}});
    db->createEsposizioneForEsposizioneCliente(*esposizione, {{"descrizione", std::string("Scaduto")}});
    db->createAgenteWithCodice("AG01", {{"ragioneSociale", std::string("Mario Agente")}});
    db->createAgenteWithCodice("AG02");  // no name: no section
    cliente->addTo("agenti", *db->createAgenteCompetenzaWithAgente("AG01", "N", "BU1"));
    cliente->addTo("agenti", *db->createAgenteCompetenzaWithAgente("AG02", "N", ""));
    db->createPagamentoWithCodice("RB60", {{"descrizione", std::string("Ri.Ba. 60 gg")}});
    cliente->setPagamento(std::string("RB60"));
    cliente->setSpedizioniere(std::string("SP9"));  // not in the store: its code
    cliente->setFido(std::string("5000"));
    cliente->setNote(std::string("Chiude ad agosto"));

    auto screen = dettaglio();
    EXPECT_EQ(titoli(*screen), (Texts{"Esposizione", "Agente: AG01 Business Unit: BU1", "Pagamento: RB60",
                                      "Condizioni di Vendita", "Note"}));
    EXPECT_EQ(riga(*screen, "Esposizione", 0), (Texts{"Saldo Contabile", "", "1.234,00"}));
    EXPECT_EQ(riga(*screen, "Esposizione", 1), (Texts{"Scaduto", "", "0,00"}));
    EXPECT_EQ(riga(*screen, "Pagamento: RB60", 0), (Texts{"Ri.Ba. 60 gg"}));
    const int condizioni = indice(*screen, "Condizioni di Vendita");
    EXPECT_EQ(screen->numberOfRows(condizioni), 1) << "payment has its section; the credit limit gives way to exposure";
    EXPECT_EQ(riga(*screen, "Condizioni di Vendita", 0), (Texts{"Corriere", "SP9"}));
    EXPECT_EQ(riga(*screen, "Note", 0), (Texts{"Chiude ad agosto"}));

    // Without exposure and with an unknown payment term, both come back as rows.
    db->deleteEsposizioneFromDatabase();
    db->createSpedizioniereWithCodice("SP9", {{"ragioneSociale", std::string("Trasporti Veloci")}});
    cliente->setPagamento(std::string("XX"));
    screen = dettaglio();
    EXPECT_EQ(indice(*screen, "Esposizione"), -1);
    EXPECT_EQ(riga(*screen, "Condizioni di Vendita", 0), (Texts{"Corriere", "Trasporti Veloci"}));
    EXPECT_EQ(riga(*screen, "Condizioni di Vendita", 1), (Texts{"Pagamento", "XX"}));
    EXPECT_EQ(riga(*screen, "Condizioni di Vendita", 2), (Texts{"Fido", "5000"}));
}

TEST_F(ClientDetail, DemonstrationModeShowsTheSameEightSectionsForEveryClient) {
    Preferences::standard().setBool(keys::pref_demoStatClienteEnabled, true);
    collezione("AI12", "MT", "1", "1", "1");
    auto screen = dettaglio();
    const Texts attesi = {"Condizioni di Vendita", "Esposizione",          "Sintesi per Anno",
                          "Sintesi per Stagione",  "Dettaglio Stagione AI12", "Dettaglio Stagione AI13",
                          "Dettaglio Stagione AI14", "Note"};
    EXPECT_EQ(titoli(*screen), attesi);
    std::vector<int> righe, altezze;
    for (int s = 0; s < screen->numberOfSections(); ++s) {
        righe.push_back(screen->numberOfRows(s));
        altezze.push_back(screen->rowAt(s, 0).height);
    }
    EXPECT_EQ(righe, (std::vector<int>{3, 2, 1, 5, 4, 16, 3, 1}));
    EXPECT_EQ(altezze, (std::vector<int>{44, 44, 120, 44, 36, 36, 36, 44}));
    auto bars = screen->rowAt(2, 0).items;
    ASSERT_EQ(bars.size(), 4u);
    EXPECT_EQ(std::get<ui::Image>(bars[3]).width, 140) << "the larger year has the full bar";
    EXPECT_LT(std::get<ui::Image>(bars[1]).width, 140);
    EXPECT_NE(std::get<ui::Image>(bars[1]).path.find("berra_rossa.png"), std::string::npos);
    EXPECT_NE(std::get<ui::Image>(bars[3]).path.find("barra_verde.png"), std::string::npos);

    auto altro = db->createClienteWithBarCode("C002");
    EXPECT_EQ(titoli(DettaglioClienteViewController(ui, *altro, CompanySession::over(db))), attesi);
}

TEST_F(ClientDetail, OpensFromTheClientListAndOpensTheWideDetail) {
    collezione("AI12", "MT", "213", "3", "2550");
    db->commit();
    auto list = std::make_shared<ElencoClientiViewController>(ui, nullptr, CompanySession::over(db));
    ui.push(*root, list);
    list->viewWillAppear();
    ASSERT_EQ(list->rowAt(0, 0).accessory, ui::Accessory::DetailButton);
    list->accessoryTapped(0, 0);
    auto* screen = dynamic_cast<DettaglioClienteViewController*>(ui.visible());
    ASSERT_TRUE(screen);
    screen->didSelectRow(0, 1);
    EXPECT_TRUE(dynamic_cast<DettaglioClienteLandscapeViewController*>(ui.visible()));
    ui.pop(*ui.visible());
    screen->navigationButtonTapped(screen->navigationButtons().at(0).action);
    EXPECT_TRUE(dynamic_cast<DettaglioClienteLandscapeViewController*>(ui.visible()));
}

}  // namespace
