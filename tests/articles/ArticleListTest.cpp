// The article list of a price list: its rows, its detail button, its search and the choice.
#include <gtest/gtest.h>

#include "articles/DettaglioArticoloViewController.h"
#include "articles/ElencoArticoliViewController.h"
#include "platform/Decimal.h"
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

struct ArticleList : StoreFixture {
    FakeUi ui;
    std::shared_ptr<ui::Screen> entry = std::make_shared<ui::Screen>(ui);
    std::optional<std::string> chosen;

    Articolo articolo(const std::string& codice, const std::string& barCode) {
        auto a = *db->createArticoloWithBarCode(barCode);
        a.setCodice(codice);
        return a;
    }
    std::shared_ptr<ElencoArticoliViewController> open(const Listino& listino) {
        auto list = std::make_shared<ElencoArticoliViewController>(
            ui, listino, [this](const Articolo& a) { chosen = a.codice(); }, CompanySession::over(db));
        ui.showTabs({{"SCELTA", "", entry}});
        ui.push(*entry, list);
        return list;
    }
};

}  // namespace

TEST_F(ArticleList, RowsShowTheirDataAndADetailButtonOnlyForStockToTake) {
    auto listino = *db->createListinoWithBarCode("L01", {{"descrizione", "Fiera"}, {"divisa", "EUR"}});
    auto lana = *db->createArticoloWithBarCode("100001", {{"codice", "LANA 1"}, {"descrizione1", "Lana"},
                                                          {"descrizione2", "cardata"}, {"pesoGr", "320"},
                                                          {"pesoOz", "11"}, {"altezzaCm", "150"}, {"minProd", "50"}});
    auto colore = *db->createColoreWithBarCode("10000", lana);
    db->createGiacenzaWithDescrizione("Pezza 1", lana, colore)->setQuantita(Decimal::parse("12.5"));
    auto filato = *db->createArticoloWithBarCode(
        "200001", {{"codice", "FIL"}, {"categoriaMerceologica", "2"}, {"titolo", "Nm 2/28"}, {"minProd", "10"}});
    auto vuoto = *db->createColoreWithBarCode("20000", filato);
    db->createGiacenzaWithDescrizione("Pezza 2", filato, vuoto)->setQuantita(Decimal::parse("0"));
    for (const char* codice : {"LANA 1", "FIL"}) db->createArticoloListinoWithArticolo(codice, listino);
    db->commit();

    auto list = open(listino);
    EXPECT_EQ(list->title(), "EUR Fiera ");
    ASSERT_EQ(list->numberOfRows(0), 2);
    EXPECT_EQ(labelTexts(list->rowAt(0, 0)), (std::vector<std::string>{"FIL", "[200001]", "", "Nm 2/28", "", "", ""}))
        << "a yarn shows its count, not its minimum";
    EXPECT_EQ(list->rowAt(0, 0).height, 40);
    EXPECT_EQ(list->rowAt(0, 0).accessory, ui::Accessory::None) << "stock at 0 is no stock";
    EXPECT_EQ(labelTexts(list->rowAt(0, 1)),
              (std::vector<std::string>{"LANA 1", "[100001]", "Lana cardata", "50", "", "Gr.320  Oz.11", "Cm.150"}));
    EXPECT_EQ(list->rowAt(0, 1).accessory, ui::Accessory::DetailButton);
    Preferences::standard().setString(keys::pref_TIPOORDINE, "S");
    EXPECT_EQ(list->rowAt(0, 1).accessory, ui::Accessory::None) << "no stock detail for stock orders";

    list->searchTextChanged("lana");
    ASSERT_EQ(list->numberOfRows(0), 1);
    list->didSelectRow(0, 0);
    EXPECT_EQ(chosen, "LANA 1");
    EXPECT_EQ(ui.visible(), entry.get());
}

TEST_F(ArticleList, APriceListWithoutArticlesSaysSo) {
    auto listino = *db->createListinoWithBarCode("L02");
    db->commit();
    open(listino);
    EXPECT_TRUE(ui.sawAlert("Attenzione", "Non ho Articoli !!!"));
}

TEST_F(ArticleList, TheStockDetailHasASectionPerColourCodeAndALotGoesToTheLine) {
    auto lana = articolo("LANA", "100001");
    auto blu = *db->createColoreWithBarCode("10000", lana);
    blu.setCodice(std::string("001"));
    auto bluBis = *db->createColoreWithBarCode("10009", lana);
    bluBis.setCodice(std::string("001"));
    auto grigio = *db->createColoreWithBarCode("10001", lana);
    grigio.setCodice(std::string("002"));
    db->createGiacenzaWithDescrizione("Pezza 1", lana, blu)->setQuantita(Decimal::parse("12.5"));
    db->createGiacenzaWithDescrizione("Pezza 9", lana, bluBis)->setQuantita(Decimal::parse("3"));
    db->createGiacenzaWithDescrizione("Pezza 2", lana, grigio)->setQuantita(Decimal::parse("40"));
    db->commit();
    std::optional<std::string> lot;
    ui.showTabs({{"SCELTA", "", entry}});
    auto detail = std::make_shared<DettaglioArticoloViewController>(
        ui, lana, grigio, [&](const Giacenza& g) { lot = g.descrizione(); }, CompanySession::over(db));
    ui.push(*entry, detail);
    auto sections = detail->sections();
    ASSERT_EQ(sections.size(), 2u) << "a second colour record with the same code has no section of its own";
    EXPECT_EQ(sections[0].title, "001");
    EXPECT_EQ(sections[0].rows.size(), 1u) << "the section shows the first record's lots";
    EXPECT_EQ(labelTexts(sections[1].rows[0]), (std::vector<std::string>{"Pezza 2", "", "   40.00"}));
    EXPECT_EQ(sections[1].rows[0].editMenu, std::vector<std::string>{"C.I.=27.5"});
    ui.advance(std::chrono::milliseconds(300));
    ASSERT_TRUE(ui.lastScroll());
    EXPECT_EQ(ui.lastScroll()->section, 1) << "the given colour is shown";
    detail->didSelectRow(1, 0);
    EXPECT_EQ(lot, "Pezza 2");
    EXPECT_EQ(ui.visible(), entry.get());
}
