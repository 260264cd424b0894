#include <gtest/gtest.h>

#include "screens/ComboViewController.h"
#include "order/OrderEntryFixture.h"

using namespace torvane;
using namespace torvane::test;

namespace {

// The texts of a row's items, as a person reads them: labels, field texts, visible buttons.
std::vector<std::string> texts(const ui::Row& row) {
    std::vector<std::string> out;
    for (const ui::Item& item : row.items) {
        if (const auto* label = std::get_if<ui::Label>(&item)) out.push_back(label->text);
        if (const auto* field = std::get_if<ui::TextField>(&item)) out.push_back("<" + field->text + ">");
        if (const auto* button = std::get_if<ui::Button>(&item); button && !button->hidden) out.push_back("[" + button->title + "]");
    }
    return out;
}

struct OrderEntryScreen : OrderEntryFixture {
    std::vector<std::string> row(int s, int r) {
        auto sections = screen->sections();
        return texts(sections.at(static_cast<size_t>(s)).rows.at(static_cast<size_t>(r)));
    }
};

}  // namespace

TEST_F(OrderEntryScreen, ShowsTheLineBeingComposedAndWhatConfirmingLeaves) {
    auto empty = screen->sections();
    ASSERT_EQ(empty.size(), 7u);
    EXPECT_EQ(row(0, 0), (std::vector<std::string>{"Cliente", "<>"}));
    EXPECT_FALSE(std::get<ui::TextField>(empty[0].rows[0].items.at(1)).enabled) << "the client is picked, never typed";
    EXPECT_EQ(row(5, 0), (std::vector<std::string>{"R. 1", "[Conferma]"}));

    composePlain();
    EXPECT_EQ(row(0, 0), (std::vector<std::string>{"Cliente", "<Rossi Tessuti>"}));
    EXPECT_EQ(row(1, 0), (std::vector<std::string>{"Listino", "<Listino uno>"}));
    EXPECT_EQ(row(2, 0), (std::vector<std::string>{"Articolo", "<ART1>"}));
    // The variant had no record: the price row names it in brackets, and the record stays.
    EXPECT_EQ(row(2, 1), (std::vector<std::string>{"V1", "[V1]", "", "   12.50"}));
    EXPECT_TRUE(db->fetchVarianteCommercialeByCodice("V1"));
    EXPECT_EQ(row(3, 0), (std::vector<std::string>{"Colore", "<001>"}));
    EXPECT_EQ(row(4, 0), (std::vector<std::string>{"Q.tà", "<3.00>"}));

    screen->confirmTapped();
    EXPECT_EQ(row(5, 0), (std::vector<std::string>{"R. 2", "[Conferma]"}));
    EXPECT_EQ(row(3, 0), (std::vector<std::string>{"Colore", "<>", "[ART1]"}));
    EXPECT_EQ(row(4, 0), (std::vector<std::string>{"Q.tà", "<>"}));

    // Tapping the quantity proposes the last one.
    screen->didSelectRow(4, 0);
    EXPECT_EQ(screen->scelta().quantitaCorrente, 3);

    // With a line in the order the client cannot change.
    screen->didSelectRow(0, 0);
    EXPECT_TRUE(alerted("Non puoi cambiare il cliente. Termina la scelta iniziata !!!"));
    EXPECT_EQ(ui.visible(), nullptr);
}

TEST_F(OrderEntryScreen, PriceListPickerOffersTheOrderTypesListsAndWarnsOfAMarketChange) {
    Preferences::standard().setString(keys::pref_agente, "");
    listino("S01", "Campionario").setTipo(std::string("S"));
    db->fetchListinoByBarCode("L01")->setTipo(std::string("N"));
    auto l02 = *db->fetchListinoByBarCode("L02");
    l02.setTipo(std::string("N"));
    l02.setArea(std::string("EU")), l02.setDivisa(std::string("USD")), l02.setUm(std::string("YD"));
    db->commit();
    ui.showTabs({{"SCELTA", "", screen}});

    screen->didSelectRow(1, 0);
    EXPECT_TRUE(alerted("Prima imposta un Cliente !!!"));
    screen->impostaCliente(std::string("C001"));
    screen->didSelectRow(1, 0);
    auto* picker = dynamic_cast<ComboViewController*>(ui.visible());
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->lista(), (std::vector<std::string>{"Listino due", "Listino uno"}));
    picker->didSelectRow(0, 0);
    EXPECT_EQ(screen->scelta().listinoCorrente->barCode(), "L02");
    EXPECT_TRUE(alerted("Hai cambiato Mercato. (Area Divisa UM ) !!! Premendo Continua e poi Annulla verra' "
                        "riselezionato ultimo immesso."));

    Preferences::standard().setString(keys::pref_TIPOORDINE, "S");
    screen->didSelectRow(1, 0);
    picker = dynamic_cast<ComboViewController*>(ui.visible());
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->lista(), (std::vector<std::string>{"Campionario"}));
}

TEST_F(OrderEntryScreen, ATypedColourCodeBecomesItsBarcodeAndAnUnknownOneStaysAsTyped) {
    screen->impostaCliente(std::string("C001"));
    screen->barcodeData("100001", 0);
    const auto focusedQuantity = [&] {
        const auto& events = ui.events();
        return std::find(events.begin(), events.end(), "focus 4") != events.end();
    };
    screen->textFieldDidBeginEditing(3);
    ui.clearEvents();
    screen->textFieldDidEndEditing(3, "001");
    ASSERT_TRUE(screen->scelta().coloreCorrente);
    EXPECT_EQ(screen->scelta().coloreCorrente->barCode(), "10000");
    EXPECT_TRUE(focusedQuantity()) << "with the colour known the quantity is typed next";
    screen->textFieldDidEndEditing(3, "999");
    EXPECT_FALSE(screen->scelta().coloreCorrente);
    EXPECT_EQ(screen->scelta().coloreDigitato, "999");

    // Leaving the article field unchanged keeps the article: it shows a code, not the barcode.
    screen->textFieldDidBeginEditing(2);
    screen->textFieldDidEndEditing(2, "ART1");
    EXPECT_TRUE(screen->scelta().articoloCorrente);

    // Without an article the colour field refuses typing with the error beep; a colour cleared
    // leaves the focus where it is.
    ui.clearEvents();
    screen->impostaArticolo(std::nullopt);
    EXPECT_FALSE(focusedQuantity());
    EXPECT_FALSE(screen->shouldChangeCharacters(3, "0"));
}

TEST_F(OrderEntryScreen, AppearingTakesUpTheFirstOpenOrderAndWarnsOfASecond) {
    composePlain();
    screen->confirmTapped();
    db->createSceltaTestataWithCodice(99, {{"status", SqlValue(0LL)}});
    db->commit();
    auto again = std::make_shared<InserimentoSceltaViewController>(ui, CompanySession::over(db));
    ui.showTabs({{"SCELTA", "", again}});
    EXPECT_TRUE(again->scelta().sceltaTestataCorrente);
    EXPECT_EQ(again->scelta().clienteCorrente->codice(), "C001");
    EXPECT_EQ(again->scelta().listinoCorrente->barCode(), "L01");
    EXPECT_EQ(ui.badge(0), "1");
    EXPECT_TRUE(alerted("Ho piu' di una scelta NON terminata !!!"));
}
