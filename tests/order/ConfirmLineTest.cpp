#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <utility>

#include "OrderEntryFixture.h"
#include "review/RivediSceltaViewController.h"

using namespace torvane;
using namespace std::chrono_literals;

namespace {

struct Confirm : test::OrderEntryFixture {
    std::vector<SceltaRiga> righe() {
        auto testata = screen->scelta().sceltaTestataCorrente;
        return testata ? *db->fetchAllSceltaRigaByTestata(*testata) : std::vector<SceltaRiga>{};
    }
    std::string lastMessage() const { return ui.lastAlert() ? ui.lastAlert()->message : ""; }
};

using Texts = std::vector<std::optional<std::string>>;

}  // namespace

TEST_F(Confirm, ChecksRunInOrderAndWriteNothing) {
    Preferences::standard().removeObjectForKey(keys::pref_TIPOORDINE);
    screen->confirmTapped();
    EXPECT_EQ(lastMessage(), "Devi impostare Tipo Ordine (Campionario / Produzione ...)");
    EXPECT_EQ(ui.lastAlert()->buttons, std::vector<std::string>{"Vai nelle Impostazioni"});
    Preferences::standard().setString(keys::pref_TIPOORDINE, "N");
    screen->confirmTapped();
    EXPECT_EQ(lastMessage(), "Non hai scelto il cliente ...");
    screen->impostaCliente(std::string("C001"));
    screen->impostaListino("L99");
    screen->confirmTapped();
    EXPECT_EQ(lastMessage(), "Scegli un Listino ...");
    screen->impostaListino("L01");
    screen->confirmTapped();
    EXPECT_EQ(lastMessage(), "Scegli un'articolo ...");
    screen->barcodeData("100001", 0);
    screen->confirmTapped();
    EXPECT_EQ(lastMessage(), "Scegli un Colore o T+CC ...");
    screen->barcodeData("10000", 0);
    screen->confirmTapped();
    EXPECT_EQ(lastMessage(), "Metti una quantita' ...");
    screen->impostaQuantita("abc");  // not a number: 0
    screen->confirmTapped();
    EXPECT_EQ(lastMessage(), "Metti una quantita' ...");
    screen->impostaQuantita("2");
    screen->setImmissioneNotaInCorso(true);
    screen->confirmTapped();
    EXPECT_EQ(lastMessage(), "Prima di Confermare, devi immettere la Nota (con Invio)");
    EXPECT_EQ(ui.lastAlert()->title, "Attenzione !!");
    EXPECT_EQ(count("SceltaTestata"), 0);
    EXPECT_FALSE(db->fetchParametroByAttributo("SYSTEM_ProgressivoOrdine"));
}

TEST_F(Confirm, TheFirstLineCreatesTheOrderAndCountsItOnce) {
    composePlain("10000", "3");
    screen->impostaNota("urgente");
    screen->confirmTapped();
    auto testata = screen->scelta().sceltaTestataCorrente;
    ASSERT_TRUE(testata);
    EXPECT_EQ(counter(), "1");
    EXPECT_EQ(testata->codice(), 1);
    EXPECT_EQ(testata->status(), 0);
    EXPECT_TRUE(testata->dataCreazione());
    EXPECT_EQ((Texts{testata->cliente(), testata->clienteRagioneSociale(), testata->clienteDestinazione(),
                     testata->listinoTestata(), testata->aaaAzienda(), testata->tipo(), testata->agente()}),
              (Texts{"C001", "Rossi Tessuti", "D2", "L01", "01", "N", "A1"}));
    auto riga = righe().at(0);
    EXPECT_EQ((Texts{riga.articolo(), riga.colore(), riga.varianteCommerciale(), riga.prezzo()->toString(),
                     riga.nota()}),
              (Texts{"ART1", "001", "V1", "12.5", "urgente"}));
    EXPECT_EQ(riga.quantita(), 3.0);
    // The line is cleared; client, list and order stay; "Prev." remembers the article.
    EXPECT_FALSE(screen->scelta().articoloCorrente);
    EXPECT_FALSE(screen->scelta().coloreDigitato);
    EXPECT_EQ(screen->scelta().quantitaCorrente, 0);
    EXPECT_TRUE(screen->scelta().clienteCorrente);
    EXPECT_EQ(screen->scelta().articoloLast->codice(), "ART1");
    EXPECT_EQ(screen->scelta().quantitaLast, 3);
    EXPECT_EQ(ui.badge(0), "1");

    composePlain("77777", "1,5");  // a colour not in the store is confirmed as typed
    screen->confirmTapped();
    EXPECT_EQ(counter(), "1");
    ASSERT_EQ(righe().size(), 2u);
    EXPECT_EQ(righe().at(1).colore(), "77777");
    EXPECT_EQ(righe().at(1).quantita(), 1.5);
    EXPECT_EQ(ui.badge(0), "2");
    // Committed: a fresh connection sees both lines.
    auto other = Database::openFile(db->filePath(), "T");
    EXPECT_EQ(other->fetchAllSceltaRigaByTestata(*other->fetchSceltaTestataByCodice(1))->size(), 2u);
}

TEST_F(Confirm, ALineOfAnotherListMarksTheOrderForGood) {
    composePlain();
    screen->confirmTapped();
    prezzo("L02", "ART1", "V1", "9.00");
    screen->impostaListino("L02");
    composePlain();
    screen->confirmTapped();
    EXPECT_EQ(righe().at(1).prezzo()->toString(), "9");
    screen->impostaListino("L01");
    composePlain();
    screen->confirmTapped();
    EXPECT_EQ(screen->scelta().sceltaTestataCorrente->listinoTestata(), "LISTINOCAMBIATO");
}

TEST_F(Confirm, AStockLotLimitsTheQuantity) {
    auto colore = *db->fetchColoreByBarCode("10000");
    auto lotto = *db->createGiacenzaWithDescrizione("Pezza 7", *db->fetchArticoloByCodice("ART1"), colore,
                                                    {{"quantita", "10"}, {"partita", "P7"}, {"lavorazione", "Tinto"}});
    screen->impostaCliente(std::string("C001"));
    screen->barcodeData("100001", 0);
    screen->setGiacenza(lotto);
    EXPECT_EQ(screen->scelta().quantitaCorrente, 10);  // the whole lot is proposed
    EXPECT_EQ(screen->scelta().coloreDigitato, "001");
    screen->impostaQuantita("10.5");
    screen->confirmTapped();
    EXPECT_EQ(lastMessage(), "Quantita' superiore alla Giacenza");
    screen->impostaQuantita("10");
    screen->confirmTapped();
    ASSERT_EQ(righe().size(), 1u);
    EXPECT_EQ((Texts{righe().at(0).partita(), righe().at(0).lavorazione()}), (Texts{"P7", "Tinto"}));
}

TEST_F(Confirm, SizeLinesAreOnePerColourRootAndReplacedOnReconfirmation) {
    screen->impostaCliente(std::string("C001"));
    screen->barcodeData("200001", 0);
    EXPECT_TRUE(screen->scelta().gestiscoTaglie);
    // A grid left at 0 has no line to write: no order is opened and no number is used.
    screen->confirmTapped();
    EXPECT_FALSE(screen->scelta().sceltaTestataCorrente);
    EXPECT_EQ(count("SceltaTestata"), 0);
    EXPECT_FALSE(db->fetchParametroByAttributo("SYSTEM_ProgressivoOrdine"));
    EXPECT_FALSE(ui.lastAlert());
    screen->barcodeData("200001", 0);
    auto articolo = *screen->scelta().articoloCorrente;
    auto radici = articolo.coloriSxbarra();
    ASSERT_EQ(radici.size(), 2u);
    radici[0].tempSceltaTaglie()[0].setQuantita(2);  // 10/S
    radici[0].tempSceltaTaglie()[2].setQuantita(1);  // 10/L
    radici[1].tempSceltaTaglie()[1].setQuantita(4);  // 20/M: no colour record
    screen->confirmTapped();
    auto lines = righe();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ((Texts{lines[0].colore(), lines[0].prezzo()->toString(), lines[0].varianteCommerciale()}),
              (Texts{"10", "15", "V1"}));
    EXPECT_EQ(lines[0].quantita(), 3.0);
    ASSERT_EQ(lines[0].sceltaTaglie().size(), 2u);
    EXPECT_EQ(lines[0].sceltaTaglie()[0].prezzo()->toString(), "5");
    EXPECT_EQ(lines[1].colore(), "20");
    EXPECT_EQ(lines[1].quantita(), 4.0);  // counted, but adds nothing to the amount
    EXPECT_TRUE(lines[1].prezzo()->isZero());
    EXPECT_EQ(lines[1].sceltaTaglie()[0].varianteCommerciale(), "  ");
    EXPECT_TRUE(screen->scelta().sceltaTestataCorrente->presenzaTaglie().value_or(false));

    // A line of another article in between is not the size article's to replace.
    screen->barcodeData("100001", 0);
    screen->barcodeData("10000", 0);
    screen->impostaQuantita("2");
    screen->confirmTapped();
    // Setting the article again brings back what was ordered; 20/M set to 0 disappears.
    screen->barcodeData("200001", 0);
    radici = screen->scelta().articoloCorrente->coloriSxbarra();
    EXPECT_EQ(radici[0].tempSceltaTaglie()[0].quantita(), 2);
    radici[1].tempSceltaTaglie()[1].setQuantita(0);
    screen->confirmTapped();
    lines = righe();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].articolo(), "ART1");
    EXPECT_EQ(lines[1].colore(), "10");
    EXPECT_EQ(count("SceltaTaglia"), 2);
}

TEST_F(Confirm, AStoreRefusalKeepsNothingAndTheLineCanBeConfirmedAgain) {
    screen->impostaCliente(std::string("C001"));
    screen->barcodeData("200001", 0);
    screen->scelta().articoloCorrente->coloriSxbarra()[0].tempSceltaTaglie()[0].setQuantita(2);
    db->connection()->execute(
        "CREATE TEMP TRIGGER rifiuta BEFORE INSERT ON \"SceltaTaglia\" BEGIN SELECT RAISE(ABORT, 'disco pieno'); END");
    screen->confirmTapped();
    EXPECT_EQ(lastMessage(), "Errore durante il salvataggio delle modifiche sul database");
    EXPECT_FALSE(screen->scelta().sceltaTestataCorrente);
    EXPECT_EQ(count("SceltaTestata"), 0);
    EXPECT_EQ(count("SceltaRiga"), 0);
    EXPECT_TRUE(db->doCommit());
    EXPECT_TRUE(screen->scelta().articoloCorrente);  // the line stays on screen
    // The grid the agent filled is still there.
    EXPECT_EQ(screen->scelta().articoloCorrente->coloriSxbarra()[0].tempSceltaTaglie()[0].quantita(), 2);

    db->connection()->execute("DROP TRIGGER rifiuta");
    screen->confirmTapped();
    EXPECT_EQ(counter(), "1");
    EXPECT_EQ(count("SceltaRiga"), 1);

    // Lines that cannot be replaced are not doubled.
    db->connection()->execute(
        "CREATE TEMP TRIGGER tieni BEFORE DELETE ON \"SceltaRiga\" BEGIN SELECT RAISE(ABORT, 'disco pieno'); END");
    screen->barcodeData("200001", 0);
    screen->confirmTapped();
    EXPECT_EQ(lastMessage(), "Errore durante il salvataggio delle modifiche sul database");
    EXPECT_EQ(count("SceltaRiga"), 1);
}

TEST_F(Confirm, ARefusedUpdateIsAFailedLineNotAnIncompleteOne) {
    const auto rifiuta = [this](const char* name, const char* table) {
        db->connection()->execute(std::string("CREATE TEMP TRIGGER ") + name + " BEFORE UPDATE ON \"" + table +
                                  "\" BEGIN SELECT RAISE(ABORT, 'disco pieno'); END");
    };
    // Each record of a line is written whole by the INSERT that makes it.
    for (const char* table : {"SceltaTestata", "SceltaRiga", "SceltaTaglia"}) rifiuta(table, table);
    screen->impostaCliente(std::string("C001"));
    screen->barcodeData("200001", 0);
    screen->scelta().articoloCorrente->coloriSxbarra()[0].tempSceltaTaglie()[0].setQuantita(2);
    screen->confirmTapped();
    ASSERT_EQ(righe().size(), 1u);
    EXPECT_EQ(righe().at(0).quantita(), 2.0);
    EXPECT_EQ(righe().at(0).prezzo()->toString(), "10");
    EXPECT_EQ(righe().at(0).sceltaTaglie().at(0).quantita(), 2);
    EXPECT_EQ(righe().at(0).sceltaTaglie().at(0).prezzo()->toString(), "5");
    EXPECT_TRUE(screen->scelta().sceltaTestataCorrente->presenzaTaglie().value_or(false));
    composePlain("10000", "3");
    screen->confirmTapped();
    ASSERT_EQ(righe().size(), 2u);
    EXPECT_EQ((Texts{righe().at(1).articolo(), righe().at(1).colore(), righe().at(1).prezzo()->toString()}),
              (Texts{"ART1", "001", "12.5"}));
    EXPECT_EQ(righe().at(1).quantita(), 3.0);

    // A line of another list must mark the order; when the store refuses that, the line fails.
    screen->impostaListino("L02");
    composePlain();
    screen->confirmTapped();
    EXPECT_EQ(lastMessage(), "Errore durante il salvataggio delle modifiche sul database");
    EXPECT_EQ(righe().size(), 2u);
    EXPECT_EQ(screen->scelta().sceltaTestataCorrente->listinoTestata(), "L01");

    // A counter the store cannot move on gives no order number.
    screen->annullaTapped();
    screen->fineSceltaTapped();
    rifiuta("contatore", "Parametro");
    composePlain();
    screen->confirmTapped();
    EXPECT_EQ(lastMessage(), "Errore durante il salvataggio delle modifiche sul database");
    EXPECT_EQ(count("SceltaTestata"), 1);
    EXPECT_EQ(counter(), "1");
}

namespace {

// Runs `hook` the first time a log line begins with `prefix`, on the thread that logs it.
struct HookSink : LogSink {
    std::string prefix;
    std::function<void()> hook;
    void write(std::string_view line) override {
        if (hook && line.substr(0, prefix.size()) == prefix) std::exchange(hook, nullptr)();
    }
};

}  // namespace

// The catalogue loader works on the same store from its own thread, with automatic commit off,
// and commits after every batch.
TEST_F(Confirm, ALoaderCommitWaitsForTheWholeLine) {
    db->setDoCommit(false);
    db->connection()->execute(
        "CREATE TEMP TRIGGER rifiuta BEFORE INSERT ON \"SceltaRiga\" BEGIN SELECT RAISE(ABORT, 'disco pieno'); END");
    composePlain();
    std::future<void> loaderCommit;
    auto sink = std::make_shared<HookSink>();
    sink->prefix = "Agente : ";  // the order number is taken, the line not yet written
    sink->hook = [&] {
        loaderCommit = std::async(std::launch::async, [this] { db->commit(); });
        loaderCommit.wait_for(200ms);
    };
    Log::setSink(sink);
    screen->confirmTapped();
    Log::setSink(log);
    ASSERT_TRUE(loaderCommit.valid());
    loaderCommit.get();
    EXPECT_EQ(lastMessage(), "Errore durante il salvataggio delle modifiche sul database");
    EXPECT_FALSE(db->doCommit()) << "the loader's setting is left as it was";
    auto other = Database::openFile(db->filePath(), "T");
    EXPECT_EQ(other->fetchAllSceltaTestata()->size(), 0u);
    EXPECT_FALSE(other->fetchParametroByAttributo("SYSTEM_ProgressivoOrdine"));
}

TEST_F(Confirm, TccConfirmsOrScrollsAMomentLater) {
    screen->tccTapped();
    EXPECT_EQ(lastMessage(), "Prima scegli Listino ed Articolo");
    screen->impostaCliente(std::string("C001"));
    screen->barcodeData("100001", 0);
    screen->tccTapped();
    EXPECT_TRUE(screen->scelta().coloreTCC);
    EXPECT_EQ(screen->scelta().quantitaCorrente, 1);
    ui.advance(299ms);
    EXPECT_FALSE(ui.lastScroll());
    ui.advance(1ms);
    EXPECT_EQ(ui.lastScroll()->section, 4);
    EXPECT_EQ(count("SceltaRiga"), 0);
    // A T+CC left unconfirmed does not pass to the next article scanned.
    screen->barcodeData("100001", 0);
    EXPECT_FALSE(screen->scelta().coloreTCC);
    screen->impostaQuantita("5");
    screen->confirmTapped();
    EXPECT_EQ(lastMessage(), "Scegli un Colore o T+CC ...");

    Preferences::standard().setBool(keys::pref_TCCCONFERMAUNOENABLED, true);
    screen->tccTapped();
    ui.advance(300ms);
    ASSERT_EQ(righe().size(), 1u);
    EXPECT_EQ((Texts{righe().at(0).colore(), righe().at(0).varianteCommerciale()}), (Texts{"T+CC", "  "}));
    EXPECT_FALSE(righe().at(0).prezzo());

    // Automatic T+CC: every scanned article is a line at once.
    screen->autoTCCSwitched();
    EXPECT_TRUE(log->contains("          (diventa) -> ON"));
    screen->barcodeData("100001", 0);
    ASSERT_EQ(righe().size(), 2u);
    EXPECT_EQ(righe().at(1).quantita(), 1.0);
}

TEST_F(Confirm, PrevProposesTheLastArticleAndSeriesOnce) {
    screen->impostaCliente(std::string("C001"));
    screen->barcodeData("100001812345", 0);
    screen->barcodeData("10000", 0);
    screen->impostaQuantita("2");
    screen->confirmTapped();
    screen->previousTapped();
    EXPECT_EQ(screen->scelta().articoloCorrente->codice(), "ART1");
    EXPECT_EQ(screen->scelta().serieCorrente, "12345");
    EXPECT_FALSE(screen->scelta().articoloLast);
}

TEST_F(Confirm, AnnullaAndFineFollowTheOrderState) {
    screen->impostaCliente(std::string("C001"));
    screen->annullaTapped();  // no order, no article: everything goes
    EXPECT_FALSE(screen->scelta().clienteCorrente);
    screen->fineSceltaTapped();
    EXPECT_TRUE(ui.sawAlert(std::nullopt, "Nessuna Scelta presente !!!"));

    composePlain();
    screen->confirmTapped();
    screen->impostaCliente(std::nullopt);
    screen->barcodeData("L02", 0);
    screen->annullaTapped();  // open order: client, list and "Prev." come back from its lines
    EXPECT_EQ(screen->scelta().clienteCorrente->codice(), "C001");
    EXPECT_EQ(screen->scelta().listinoCorrente->barCode(), "L01");
    // The line holds the article's code ART1, not its barcode 100001.
    const auto& last = screen->scelta().articoloLast;
    EXPECT_EQ(last ? last->codice() : std::nullopt, "ART1");
    EXPECT_TRUE(screen->scelta().sceltaTestataCorrente);

    screen->barcodeData("100001", 0);
    screen->fineSceltaTapped();
    EXPECT_EQ(lastMessage(), "Sei a mezzo di una scelta ...");
    screen->annullaTapped();
    ui.showTabs({{"SCELTA", "coat-hanger", screen}});
    screen->fineSceltaTapped();
    auto* review = dynamic_cast<RivediSceltaViewController*>(ui.visible());
    ASSERT_TRUE(review);
    ASSERT_TRUE(review->ordineTestata());
    EXPECT_EQ(review->ordineTestata()->codice(), 1);
    EXPECT_FALSE(screen->scelta().sceltaTestataCorrente);
    EXPECT_FALSE(screen->scelta().clienteCorrente);
}
