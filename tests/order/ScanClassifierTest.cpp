#include <gtest/gtest.h>

#include "OrderEntryFixture.h"

using namespace torvane;

namespace {

struct Scans : test::OrderEntryFixture {
    Preferences& prefs() { return Preferences::standard(); }
    int errorBeeps() const {
        int count = 0;
        for (ui::Sound sound : ui.sounds()) count += sound == ui::Sound::System1002;
        return count;
    }
    std::string articolo() const {
        auto a = screen->scelta().articoloCorrente;
        return a ? a->codice().value_or("") : "(none)";
    }
    void scan(std::initializer_list<const char*> codes) {
        for (const char* code : codes) screen->barcodeData(code, 0);
    }
};

}  // namespace

TEST_F(Scans, EqualArticleAndColourLengthsTakeAnArticleFirstAndThenAColour) {
    prefs().setInteger(keys::pref_LENBARCODECOLORE, 6);
    scan({"L01", "100001"});
    EXPECT_EQ(articolo(), "ART1");
    screen->barcodeData("900042", 0);  // not in the store: colour 42, typed
    EXPECT_EQ(articolo(), "ART1");
    EXPECT_EQ(screen->scelta().coloreDigitato, "42");
    EXPECT_FALSE(screen->scelta().coloreCorrente);
}

TEST_F(Scans, CancelCardAndPriceListScansClearTheArticleAndColour) {
    composePlain();
    screen->barcodeData("CANCARTICOLO", 0);
    EXPECT_EQ(articolo(), "(none)");
    EXPECT_FALSE(screen->scelta().coloreDigitato);
    EXPECT_EQ(screen->scelta().quantitaCorrente, 3);
    EXPECT_EQ(screen->scelta().listinoCorrente->barCode(), "L01");

    composePlain();
    screen->barcodeData("L02", 0);
    EXPECT_EQ(screen->scelta().listinoCorrente->barCode(), "L02");
    EXPECT_EQ(articolo(), "(none)");
    EXPECT_FALSE(screen->scelta().coloreCorrente);

    screen->barcodeData("L99", 0);  // unknown list: only the error beep
    EXPECT_EQ(screen->scelta().listinoCorrente->barCode(), "L02");
    EXPECT_EQ(errorBeeps(), 1);
}

TEST_F(Scans, SeriesCodesLieStrictlyBetween800000And900000) {
    prefs().setBool(keys::pref_BARCODE80000ENABLED, true);
    scan({"L01", "100001", "800001"});
    EXPECT_EQ(screen->scelta().serieCorrente, "1");
    screen->barcodeData("899999", 0);
    EXPECT_EQ(screen->scelta().serieCorrente, "99999");
    EXPECT_EQ(articolo(), "ART1");
    // 800000 is an article code like any other six characters: here an unknown one.
    screen->barcodeData("800000", 0);
    EXPECT_TRUE(ui.sawAlert("Attenzione !!!", "Articolo non trovato"));

    prefs().setBool(keys::pref_SERIEALFANUMERICHEENABLED, true);
    db->createSerieAlfanumericaWithBarCode("812345")->setSerie(std::string("AB12"));
    scan({"100001", "812345"});
    EXPECT_EQ(screen->scelta().serieCorrente, "AB12");
    screen->barcodeData("812346", 0);
    EXPECT_TRUE(ui.sawAlert("Attenzione", "Serie/Disegno non trovato !!!"));
}

TEST_F(Scans, AnArticlePlusSeriesCodeTakesTheSeriesOnlyWhenTheRestBeginsWith8) {
    scan({"L01", "100001812345"});
    EXPECT_EQ(articolo(), "ART1");
    EXPECT_EQ(screen->scelta().serieCorrente, "12345");
    screen->barcodeData("100001712345", 0);
    EXPECT_EQ(articolo(), "ART1");
    EXPECT_FALSE(screen->scelta().serieCorrente);
}

TEST_F(Scans, ArticlesNeedAListAndUnknownOnesAreRefusedOrCreated) {
    screen->barcodeData("100001", 0);
    EXPECT_TRUE(ui.sawAlert("Attenzione", "Non hai impostato il Listino !!!"));
    EXPECT_EQ(errorBeeps(), 0);

    scan({"L02", "100001"});  // taken, though not in this list
    EXPECT_EQ(articolo(), "ART1");
    EXPECT_TRUE(ui.sawAlert("Attenzione !!!", "Articolo presente in altri Listini (ma non in Listino due)"));

    screen->barcodeData("555555", 0);
    EXPECT_TRUE(ui.sawAlert("Attenzione !!!", "Articolo non trovato"));
    EXPECT_EQ(errorBeeps(), 1);

    prefs().setBool(keys::pref_ARTICOLINONESISTENTIENABLED, true);
    // The article is made whole by one INSERT.
    db->connection()->execute(
        "CREATE TEMP TRIGGER rifiuta BEFORE UPDATE ON \"Articolo\" BEGIN SELECT RAISE(ABORT, 'disco pieno'); END");
    ui.clearEvents();
    const auto alertsBefore = ui.alerts().size();
    screen->barcodeData("555555", 0);
    EXPECT_EQ(articolo(), "[555555]");
    EXPECT_EQ(screen->scelta().articoloCorrente->descrizione1(), "Barcode Articolo 555555");
    EXPECT_TRUE(screen->scelta().articoloCorrente->flagCreatoDaMe().value_or(false));
    EXPECT_EQ(ui.alerts().size(), alertsBefore);  // made here: known to be outside every list
}

TEST_F(Scans, ColoursNeedAListAndAnArticle) {
    screen->barcodeData("10000", 0);
    EXPECT_TRUE(ui.sawAlert("Attenzione", "Non hai impostato il Listino !!!"));
    scan({"L01", "10000"});
    EXPECT_TRUE(ui.sawAlert("Attenzione", "Non hai impostato Articolo !!!"));
    EXPECT_EQ(errorBeeps(), 2);

    scan({"100001", "10000"});
    EXPECT_EQ(screen->scelta().coloreCorrente->codice(), "001");
    EXPECT_EQ(screen->scelta().coloreDigitato, "001");
    screen->barcodeData("77777", 0);  // unknown: kept as typed
    EXPECT_FALSE(screen->scelta().coloreCorrente);
    EXPECT_EQ(screen->scelta().coloreDigitato, "77777");
    EXPECT_TRUE(ui.sawAlert("Attenzione !!", "Non conosco la Variante Commerciale di questo colore"));
}

TEST_F(Scans, AlphanumericColoursAndArticleColourCodes) {
    prefs().setBool(keys::pref_COLORIALFANUMERICIENABLED, true);
    db->createColoreAlfanumericoWithBarCode("ABCDE")->setColore(std::string("10000"));
    scan({"L01", "100001", "ABCDE"});
    EXPECT_EQ(screen->scelta().coloreDigitato, "001");
    screen->barcodeData("ZZZZZ", 0);
    EXPECT_TRUE(ui.sawAlert("Attenzione", "Colore alfanum. non codificato !!!"));

    // Nine characters: the colour's barcode, which names its article too.
    db->createColoreWithBarCode("200001020", *db->fetchArticoloByCodice("ART2"))->setCodice(std::string("20/M"));
    screen->barcodeData("200001020", 0);
    EXPECT_EQ(articolo(), "ART2");
    EXPECT_EQ(screen->scelta().coloreDigitato, "20/M");
    screen->barcodeData("999999999", 0);
    EXPECT_TRUE(ui.sawAlert("Attenzione", "ArticoloColore non trovato !!!"));
}

TEST_F(Scans, AnyScannedTextIsClassifiedOrRefusedWithoutHarm) {
    screen->barcodeData("L01", 0);
    for (const std::string& text : {std::string(), std::string(200, '7'), std::string("\xc3\xa0\xc3\xa8\xc3\xac"),
                                    std::string("\x01\x02\r\n\t"), std::string("\xff\xfe\xfd\xfc\xfb\xfa")}) {
        screen->barcodeData(text, 0);
    }
    EXPECT_TRUE(log->contains("Barcode di lunghezza 200 non riconosciuto: " + std::string(200, '7')));
    EXPECT_TRUE(log->contains("Barcode di lunghezza 0 non riconosciuto: "));
    screen->magneticCardData(std::string("T1"), std::nullopt, std::string(""));  // a card is only logged
    EXPECT_TRUE(log->contains("Carta magnetica: track1: T1") && log->contains("                 track2: (null)"));
    EXPECT_EQ(screen->scelta().listinoCorrente->barCode(), "L01");
}

TEST_F(Scans, AColourWithoutAPriceAsksForOneAndStoresOnlyANumberAboveZero) {
    scan({"L01", "100001"});
    for (const char* typed : {"abc", "0", "12,50"}) {
        ui.queuePromptAnswer({0, {typed}});
        screen->barcodeData("10001", 0);
    }
    ASSERT_EQ(ui.prompts().size(), 3u);
    EXPECT_EQ(ui.prompts().front().message, "Puoi dirmi il prezzo del Colore \"002\" V2 ?");
    auto prezzo = db->fetchPrezzoByListino("L01", "ART1", "V2");
    ASSERT_TRUE(prezzo);
    EXPECT_EQ(prezzo->valore()->toString(), "12.5");
    EXPECT_EQ(screen->scelta().prezziArticolo.size(), 2u);
    screen->barcodeData("10001", 0);
    EXPECT_EQ(ui.prompts().size(), 3u);  // priced now

    // A platform that cannot hold a prompt never asks.
    screen->barcodeData("100001", 0);
    db->connection()->execute("DELETE FROM \"Prezzo\" WHERE varianteCommerciale = 'V2'");
    screen->impostaArticolo(std::string("100001"));
    ui.canHoldPrompts = false;
    screen->barcodeData("10001", 0);
    EXPECT_FALSE(db->fetchPrezzoByListino("L01", "ART1", "V2"));

    // The price is written by the INSERT that makes it; a price whose commit fails is not left
    // pending for the next commit either.
    ui.canHoldPrompts = true;
    db->connection()->execute(
        "CREATE TEMP TRIGGER rifiuta BEFORE UPDATE ON \"Prezzo\" BEGIN SELECT RAISE(ABORT, 'disco pieno'); END");
    ui.queuePromptAnswer({0, {"7"}});
    screen->barcodeData("10001", 0);
    ASSERT_TRUE(db->fetchPrezzoByListino("L01", "ART1", "V2"));
    EXPECT_EQ(db->fetchPrezzoByListino("L01", "ART1", "V2")->valore()->toString(), "7");
    db->connection()->execute("DELETE FROM \"Prezzo\" WHERE varianteCommerciale = 'V2'");
    db->commit();
    screen->impostaArticolo(std::string("100001"));
    db->connection()->execute("PRAGMA defer_foreign_keys = ON");
    db->connection()->execute("INSERT INTO \"Colore\" (articolo) VALUES (999999)");  // the next commit fails
    ui.queuePromptAnswer({0, {"8"}});
    screen->barcodeData("10001", 0);
    EXPECT_TRUE(ui.sawAlert("Attenzione !!", "Non riesco a scrivere il nuovo Prezzo"));
    db->connection()->execute("DELETE FROM \"Colore\" WHERE articolo = 999999");
    db->commit();
    EXPECT_FALSE(db->fetchPrezzoByListino("L01", "ART1", "V2"));
}
