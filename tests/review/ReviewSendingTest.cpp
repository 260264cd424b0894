// Sending, suspending and duplicating an order from its review: the checks in their order,
// the fair PC (the real torvane-fiera), the e-mail composer's results, and that an order is
// neither lost nor sent twice.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "mail/MailComposeViewController.h"
#include "rules/OrderCounter.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "review/ReviewFixture.h"
#include "support/FairProcess.h"

using namespace torvane;
using namespace torvane::test;
using R = RivediSceltaViewController;

namespace {

struct Sending : ReviewFixture {
    void SetUp() override {
        ReviewFixture::SetUp();
        listino("L01", "Listino estate");
        cliente("C01", "Rossi Tessuti", {{"email", "acquisti@rossi.example"}});
        auto t = ordine(7, "C01", "L01");
        t.setStatus(0);
        t.setAgente(std::string("AG1"));
        t.setClienteDestinazione(std::string("D1"));
        t.setFirma(std::vector<unsigned char>{1, 2, 3});
        t.setNote(std::string("Urgente"));
        auto r1 = riga(t, "ART1", "001", 2, "10.50");
        r1.setPartita(std::string("P1"));
        auto r2 = riga(t, "MAGLIA", "010", 12, "120.00");
        db->createSceltaTagliaWithTaglia("S", r2, {{"quantita", 5LL}, {"prezzo", std::string("10.00")}, {"varianteCommerciale", std::string("V1")}});
        db->createSceltaTagliaWithTaglia("M", r2, {{"quantita", 7LL}, {"prezzo", std::string("10.00")}});
        prefs().setString(keys::pref_user, "agente1");
    }
    MailComposeViewController* composer() const { return dynamic_cast<MailComposeViewController*>(ui.visible()); }
    void answerLastAlert() {
        ASSERT_FALSE(ui.alerts().empty());
        auto handler = ui.alerts().back().handler;
        if (handler) handler(ui::AlertAnswer{});
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> all;
        for (const auto& shown : ui.alerts()) all.push_back(shown.alert.message);
        return all;
    }
    void sent(SceltaTestata t) {
        t.setStatus(1);
        t.setDataTrasmissione(parseIsoDate("2026-03-05T10:00:00Z"));
        t.setEmailTrasmissione(std::string("acquisti@rossi.example"));
    }
};

}  // namespace

TEST_F(Sending, TheChecksRunInOrderAndEachStopsTheOrderUnchanged) {
    prefs().setBool(keys::pref_FIRMAENABLED, true);
    // Two alternatives, the client's fax or the destination's DES-3; one without a "." is skipped.
    db->createParametroWithAttributo("OBB-DES-1", {{"descrizione", std::string("Serve un fax o l'insegna")},
                                                   {"valore", std::string("Cliente.fax;senzapunto;ClienteInfo.DES-3")}});
    db->createParametroWithAttributo("OBB-DES-2", {{"valore", std::string("senzapunto")}});
    auto& r = open(7);
    r.fineRivediSceltaTapped();
    EXPECT_EQ(messages(), (std::vector<std::string>{"Serve un fax o l'insegna", "Imposta senzapunto !"}));
    db->fetchClienteByCodice("C01")->setFax(std::string("0574 1"));
    db->fetchParametroByAttributo("OBB-DES-2")->setValore(std::string("Cliente.email"));

    // A client made on the device must carry its NEC- data, except the tax data outside the EU.
    auto c = *db->fetchClienteByCodice("C01");
    c.setCodice(std::string("NEW0001"));
    db->fetchSceltaTestataByCodice(7)->setCliente(std::string("NEW0001"));
    c.setTipo(std::string("EXTRACEE"));
    db->createParametroWithAttributo("NEC-DATIFISCALI", {{"descrizione", std::string("Dati fiscali")},
                                                         {"valore", std::string("Cliente.partitaIva")}});
    db->createParametroWithAttributo("NEC-1", {{"descrizione", std::string("Referente")}, {"valore", std::string("ClienteInfo.ATT-1")}});
    open(7).fineRivediSceltaTapped();
    const auto shown = messages();
    EXPECT_EQ(shown.back(), "Referente");
    EXPECT_EQ(std::count(shown.begin(), shown.end(), std::string("Dati fiscali")), 0) << "not asked outside the EU";
    db->createClienteInfoWithCodice("NEW0001", {{"attribute1", std::string("Sig. Neri")}});

    db->fetchSceltaTestataByCodice(7)->setFirma(std::nullopt);
    open(7).fineRivediSceltaTapped();
    EXPECT_EQ(messages().back(), "La firma e' necessaria !");
    db->fetchSceltaTestataByCodice(7)->setFirma(std::vector<unsigned char>{1});

    db->createParametroWithAttributo("OBB-NOTE", {{"valore", std::string("SI")}});
    db->fetchSceltaTestataByCodice(7)->setNote(std::string(""));
    prefs().setString(keys::pref_NOTE, "Annotazioni");
    open(7).fineRivediSceltaTapped();
    EXPECT_EQ(messages().back(), "Annotazioni obbligatorio");
    EXPECT_EQ(reread(7).status(), 0);
    EXPECT_FALSE(composer());
}

TEST_F(Sending, FairModeUploadsOnceThenReturnsAndTheEmailMarksARecipient) {
    std::filesystem::create_directories(dir.file("fiera"));
    FairProcess fiera(dir.file("fiera"));
    prefs().setBool(keys::pref_MODALITAFIERAENABLED, true);
    prefs().setString(keys::pref_FIERAHTTPSERVER, "http://127.0.0.1:" + std::to_string(fiera.port()) + "/");
    auto& r = open(7);
    r.fineRivediSceltaTapped();
    ui.drainMain();
    auto t = reread(7);
    EXPECT_EQ(t.status(), 1);
    EXPECT_EQ(t.emailTrasmissione(), "Inviato a HTTP Server Fiera");
    const auto primoInvio = t.dataTrasmissione();
    EXPECT_TRUE(primoInvio);
    EXPECT_EQ(ui.visible(), parent.get()) << "e-mail off in fair mode: straight back";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("fiera/ordini")), {}), 1);

    // Sent again: warned, checked, never uploaded again, and off by e-mail.
    auto& again = open(7);
    again.fineRivediSceltaTapped();
    EXPECT_TRUE(ui.sawAlert("Attenzione:", "Questo Ordine e' gia' stato inviato !!"));
    ASSERT_TRUE(composer());
    again.fineRivediSceltaTapped();
    EXPECT_TRUE(composer()) << "a second press while the composer is up sends nothing more";
    again.mailComposeControllerDidFinish(*composer(), MailComposeResult::Sent, "altro@rossi.example");
    EXPECT_EQ(messages().back(), "Ordine inviato");
    answerLastAlert();
    EXPECT_EQ(ui.visible(), parent.get());
    t = reread(7);
    EXPECT_EQ(t.emailTrasmissione(), "altro@rossi.example");
    EXPECT_EQ(t.dataTrasmissione(), primoInvio) << "the first sending's time is kept";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("fiera/ordini")), {}), 1);
}

TEST_F(Sending, AFairPcThatIsDownLeavesTheOrderSendable) {
    prefs().setBool(keys::pref_MODALITAFIERAENABLED, true);
    prefs().setString(keys::pref_FIERAHTTPSERVER, "http://127.0.0.1:9/");
    auto& r = open(7);
    r.setUploadTimeouts({0.5, 0.5, 0.5});
    r.fineRivediSceltaTapped();
    ui.drainMain();
    EXPECT_TRUE(ui.sawAlert("Attenzione:", "Invio al PC Fiera non riuscito !!"));
    EXPECT_EQ(reread(7).status(), 0);
    EXPECT_TRUE(reviewShown());
    EXPECT_TRUE(std::get<ui::Button>(r.rowAt(fixed(R::kInvia), 0).items[0]).enabled) << "can be pressed again";
}

TEST_F(Sending, TheComposerResultsDecideTheOrderState) {
    auto& r = open(7);
    r.fineRivediSceltaTapped();
    ASSERT_TRUE(composer());
    r.mailComposeControllerDidFinish(*composer(), MailComposeResult::Cancelled, "acquisti@rossi.example");
    EXPECT_TRUE(ui.sawAlert(std::nullopt, "Messaggio cancellato"));
    EXPECT_EQ(reread(7).status(), 0);

    auto& saved = open(7);
    saved.fineRivediSceltaTapped();
    saved.mailComposeControllerDidFinish(*composer(), MailComposeResult::Saved, "acquisti@rossi.example");
    EXPECT_TRUE(ui.sawAlert(std::nullopt, "Messaggio salvato"));
    auto t = reread(7);
    EXPECT_EQ(t.status(), 1) << "a saved message counts as sent";
    EXPECT_EQ(t.emailTrasmissione(), "acquisti@rossi.example");

    auto& queued = open(7);
    queued.fineRivediSceltaTapped();
    queued.mailComposeControllerDidFinish(*composer(), MailComposeResult::Queued, "acquisti@rossi.example");
    EXPECT_TRUE(ui.sawAlert(std::nullopt, "Messaggio in uscita: partira' appena il server di posta e' raggiungibile"));
    EXPECT_EQ(reread(7).status(), 1) << "a message waiting in the outbox counts as sent";
}

TEST_F(Sending, WithoutTheOrderDocumentNothingGoesAndTheAlertSaysWhy) {
    prefs().setBool(keys::pref_MODALITAFIERAENABLED, false);
    std::filesystem::remove_all(Paths::temporary());
    std::ofstream(Paths::temporary()) << "a file where the temporary folder should be";
    auto& r = open(7);
    r.fineRivediSceltaTapped();
    EXPECT_FALSE(composer()) << "no e-mail without the order's document";
    ASSERT_TRUE(ui.lastAlert());
    EXPECT_EQ(ui.lastAlert()->message,
              "Ordine non inviato: documento dell'ordine non scritto (cartella temporanea non disponibile, errore di scrittura)");
    EXPECT_EQ(reread(7).status(), 0);
    EXPECT_FALSE(reread(7).dataTrasmissione());
    EXPECT_TRUE(std::get<ui::Button>(r.rowAt(fixed(R::kInvia), 0).items[0]).enabled) << "can be pressed again";
}

TEST_F(Sending, SuspendingChangesOnlyTheStatusAndDuplicatingCopiesWhatItShould) {
    open(7).sospendiOrdineTapped();
    auto t = reread(7);
    EXPECT_EQ(t.status(), 2);
    EXPECT_EQ(t.agente(), "AG1");
    EXPECT_EQ(ui.visible(), parent.get());

    sent(t);
    db->createParametroWithAttributo(OrderCounter::kAttributo, {{"valore", std::string("41")}});
    open(7).sospendiOrdineTapped();
    auto copia = db->fetchSceltaTestataByCodice(42);
    ASSERT_TRUE(copia) << "numbered one above the counter";
    EXPECT_EQ(copia->status(), 2);
    EXPECT_EQ(copia->flagDuplicato(), true);
    EXPECT_EQ(copia->note(), "Urgente");
    EXPECT_EQ(copia->listinoTestata(), "L01");
    EXPECT_FALSE(copia->agente()) << "no agent, destination, signature or transmission data";
    EXPECT_FALSE(copia->clienteDestinazione());
    EXPECT_FALSE(copia->firma());
    EXPECT_FALSE(copia->dataTrasmissione());
    EXPECT_FALSE(copia->emailTrasmissione());
    auto righe = *db->fetchAllSceltaRigaByTestata(*copia);
    ASSERT_EQ(righe.size(), 2u);
    EXPECT_EQ(righe[0].partita(), "P1");
    auto taglie = righe[1].sceltaTaglie();
    ASSERT_EQ(taglie.size(), 2u);
    EXPECT_EQ(taglie[0].taglia(), "S");
    EXPECT_EQ(taglie[0].varianteCommerciale(), "V1");
    EXPECT_EQ(taglie[1].quantita(), 7);
    EXPECT_EQ(reread(7).status(), 1) << "the sent order is untouched";
}

TEST_F(Sending, ARefusedDuplicationLeavesNothingHalfCopied) {
    sent(*db->fetchSceltaTestataByCodice(7));
    db->commit();
    db->connection()->execute("CREATE TEMP TRIGGER refuse_sizes BEFORE INSERT ON \"SceltaTaglia\" "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    const long long before = count("SceltaTestata");
    open(7).sospendiOrdineTapped();
    EXPECT_TRUE(ui.sawAlert("Errore:", "Non riesco a duplicare l'Ordine !"));
    EXPECT_EQ(ui.visible(), parent.get());
    db->rollback();
    EXPECT_EQ(count("SceltaTestata"), before);
    EXPECT_EQ(count("SceltaRiga"), 2);
    EXPECT_FALSE(db->fetchParametroByAttributo(OrderCounter::kAttributo)) << "the counter did not move";
}
