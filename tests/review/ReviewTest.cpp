// The order review: what it shows, and every change the agent makes there.
#include <gtest/gtest.h>

#include "screens/GenericTableViewController.h"
#include "devices/FirmaViewController.h"
#include "devices/Signature.h"
#include "screens/ComboViewController.h"
#include "platform/PreferenceKeys.h"
#include "review/ReviewFixture.h"

using namespace torvane;
using namespace torvane::test;
using R = RivediSceltaViewController;

namespace {

struct Review : ReviewFixture {
    // Rossi on L01 (MT, EUR): a plain line 2 × 10.50, a T+CC line of 3, a size line of 12
    // whose price 120 is its amount, and a line without a price.
    SceltaTestata tipico() {
        listino("L01", "Listino estate");
        cliente("C01", "Rossi Tessuti", {{"pagamento", "P9"}, {"spedizioniere", "SP1"}, {"importanza", "A"}});
        db->createSpedizioniereWithCodice("SP1", {{"ragioneSociale", std::string("Corriere Rapido")}});
        db->createImportanzaWithCodice("A", {{"descrizione", std::string("Primaria")}});
        auto a = articolo("ART1", std::nullopt, {{"descrizione1", "ART1"}, {"descrizione2", "Lino lavato"}});
        db->createColoreWithBarCode("C1", a, {{"codice", std::string("001")}, {"descrizione", std::string("Blu notte")}});
        auto t = ordine(7, "C01", "L01");
        auto r1 = riga(t, "ART1", "001", 2, "10.50");
        r1.setSerie(std::string("S1"));
        r1.setNota(std::string("consegna a marzo"));
        r1.setPartita(std::string("P77"));
        riga(t, "ART1", "T+CC", 3, nullptr);
        auto r3 = riga(t, "MAGLIA", "010", 12, "120.00");
        db->createSceltaTagliaWithTaglia("S", r3, {{"quantita", 5LL}, {"prezzo", std::string("10.00")}});
        db->createSceltaTagliaWithTaglia("M", r3, {{"quantita", 7LL}, {"prezzo", std::string("10.00")}});
        riga(t, "ART2", "002", 4, nullptr);
        return t;
    }
    void destinazione(const Cliente& c, const std::string& codice, const std::string& nome) {
        db->createDestinazioneWithCodice(codice, c, {{"ragioneSociale1", nome}, {"citta", std::string("Prato")},
                                                     {"provincia", std::string("PO")}});
    }
};

}  // namespace

TEST_F(Review, SummaryAndLinesFollowTheirLayouts) {
    tipico();
    prefs().setBool(keys::pref_DESCCOLOREENABLED, true);
    auto& r = open(7);
    EXPECT_EQ(r.title(), "Rossi Tessuti");
    ASSERT_EQ(r.ordineRighe().size(), 4u);
    EXPECT_EQ(r.sectionHeader(fixed(R::kRiepilogo)).title, "Riepilogo ordine");
    EXPECT_EQ(rowTexts(R::kRiepilogo, 0), (std::vector<std::string>{"Totale IVA escl.", "EUR 141,00"}))
        << "21.00 + the size line's own 120.00; no price adds nothing";
    EXPECT_EQ(rowTexts(R::kRiepilogo, 1), (std::vector<std::string>{"Pagamento", "P9"})) << "no record: the code";
    EXPECT_EQ(rowTexts(R::kRiepilogo, 2), (std::vector<std::string>{"Spedizioniere", "Corriere Rapido"}));
    EXPECT_EQ(rowTexts(R::kRiepilogo, 3), (std::vector<std::string>{"Classe", "[A] Primaria"}));

    EXPECT_EQ(labelTexts(r.rowAt(0, 0)), (std::vector<std::string>{"ART1/S1", "001", "Lino lavato  Blu notte P77", "MT",
                                                                   "2,00 x", "10,50", "EUR", "21,00"}));
    EXPECT_EQ(r.sectionHeader(0).footer, "consegna a marzo");
    EXPECT_EQ(labelTexts(r.rowAt(1, 0)), (std::vector<std::string>{"ART1", "T+CC", "Lino lavato", "N.", "3  ", "", "", ""}));
    ASSERT_EQ(r.numberOfRows(2), 3) << "a size line: its header and one row per size";
    auto header = labelTexts(r.rowAt(2, 0));
    EXPECT_EQ(header.back(), "120,00") << "the amount is the line's price";
    EXPECT_EQ(header[header.size() - 3], "12");
    EXPECT_TRUE(std::holds_alternative<ui::Image>(r.rowAt(2, 0).items[0]));
    EXPECT_EQ(labelTexts(r.rowAt(2, 1)), (std::vector<std::string>{"S", "5,00 x", "10,00", "50,00"}));
    EXPECT_EQ(labelTexts(r.rowAt(3, 0)).back(), "") << "no price: no amount";
    auto invia = std::get<ui::Button>(r.rowAt(fixed(R::kInvia), 0).items[0]);
    EXPECT_EQ(invia.title, "Invia Ordine");
    EXPECT_EQ(invia.pressedTitle, "Invia Ordine via mail ...");
}

TEST_F(Review, OnlyTheFirstRowOfALineDeletesItAndNeverTheLastLine) {
    tipico();
    auto& r = open(7);
    EXPECT_TRUE(r.rowAt(2, 0).deletable);
    EXPECT_FALSE(r.rowAt(2, 1).deletable) << "a size row is not a line";
    r.setEditing(true);
    r.commitDeletion(2, 0);
    db->rollback();
    EXPECT_EQ(db->fetchAllSceltaRigaByTestata(*db->fetchSceltaTestataByCodice(7))->size(), 3u) << "committed";
    EXPECT_EQ(count("SceltaTaglia"), 0) << "its sizes went with it";
    EXPECT_EQ(r.numberOfSections(), 3 + R::kSezioni);
    r.commitDeletion(0, 0);
    r.commitDeletion(0, 0);
    ASSERT_EQ(r.ordineRighe().size(), 1u);
    EXPECT_FALSE(r.rowAt(0, 0).deletable);
    r.commitDeletion(0, 0);
    EXPECT_EQ(r.ordineRighe().size(), 1u) << "the last line stays";
    r.setEditing(false);
    r.setEditing(true);
    EXPECT_TRUE(ui.sawAlert("Attenzione", "E' rimasta una sola riga ... invece di cancellar righe, cancella ordine!!!"));
}

TEST_F(Review, AClientWithoutDestinationsGetsOneAndTheSedeEntryClearsTheChoice) {
    tipico();
    prefs().setBool(keys::pref_NEGOZIOEQDESTENABLED, true);
    prefs().setBool(keys::pref_INFOCOMMENABLED, true);
    db->createParametroWithAttributo("DES-3", {{"descrizione", std::string("Insegna")}});
    db->fetchClienteByCodice("C01")->setCitta(std::string("Biella"));
    auto& r = open(7);
    EXPECT_EQ(reread(7).clienteDestinazione(), "NEW_1");
    ASSERT_TRUE(r.destinazioneCorrente());
    EXPECT_EQ(r.destinazioneCorrente()->citta(), "Biella") << "made from the client's data";
    EXPECT_EQ(r.destinazioneCorrente()->destinazioneInfo()->codice(), "C01-NEW_1");
    EXPECT_EQ(rowTexts(R::kDestinazione, 1), (std::vector<std::string>{"Insegna", ""}));

    // "[Sede]" clears the header's destination; the only destination is chosen again at once.
    r.comboWithName("Destinazioni", 0, {"[NEW_1] Rossi Tessuti ", "[Sede] Cliente di prova"}, 1);
    r.viewWillAppear();
    EXPECT_EQ(reread(7).clienteDestinazione(), std::nullopt);
    EXPECT_TRUE(r.destinazioneCorrente());
    EXPECT_FALSE(ui.sawAlert("Attenzione", "Seleziona la Destinazione Merce e Conferma i dati statistici !!"));

    // With two destinations and none chosen, the screen asks for one.
    destinazione(*db->fetchClienteByCodice("C01"), "D2", "Negozio Prato");
    db->commit();
    r.viewWillAppear();
    EXPECT_FALSE(r.destinazioneCorrente());
    EXPECT_TRUE(ui.sawAlert("Attenzione", "Seleziona la Destinazione Merce e Conferma i dati statistici !!"));
    r.didSelectRow(fixed(R::kDestinazione), 0);
    auto* picker = dynamic_cast<ComboViewController*>(ui.visible());
    ASSERT_TRUE(picker);
    picker->didSelectRow(0, 1);
    EXPECT_EQ(reread(7).clienteDestinazione(), "D2");
    EXPECT_EQ(rowTexts(R::kDestinazione, 0)[0], "[D2]");
    EXPECT_EQ(rowTexts(R::kDestinazione, 0)[5], "Prato (PO)");
}

TEST_F(Review, TheDestinationFormChecksItsDataAndCancelPutsItBack) {
    auto t = tipico();
    prefs().setBool(keys::pref_NEGOZIOEQDESTENABLED, true);
    prefs().setBool(keys::pref_INFOCOMMENABLED, true);
    db->createParametroWithAttributo("DES-2", {{"descrizione", std::string("Superficie")}});
    db->createParametroWithAttributo("OBB-DES-1", {{"descrizione", std::string("Manca l'insegna")},
                                                   {"valore", std::string("ClienteInfo.DES-5")}});
    auto& r = open(7);
    r.didSelectRow(fixed(R::kDestinazione), 1);
    auto* form = dynamic_cast<GenericTableViewController*>(ui.visible());
    ASSERT_TRUE(form);
    auto info = *r.destinazioneCorrente()->destinazioneInfo();
    info.setAttribute2(std::string("120 mq"));
    r.genericTableControllerWithName("Destinazione / Punto Vendita", "Annulla");
    EXPECT_EQ(info.attribute2(), std::nullopt) << "rolled back";
    EXPECT_TRUE(reviewShown());

    r.didSelectRow(fixed(R::kDestinazione), 1);
    info.setAttribute2(std::string("120 mq"));
    r.destinazioneCorrente()->setPartitaIva(std::string("12345"));
    r.genericTableControllerWithName("Destinazione / Punto Vendita", "Conferma");
    EXPECT_TRUE(ui.sawAlert("Errore", "PartitaIva con lunghezza errata !"));
    EXPECT_FALSE(reviewShown()) << "the form stays open";
    r.destinazioneCorrente()->setPartitaIva(std::string("00743110157"));
    // Return in the form's last line confirms it; in another line it does not.
    auto* shown = dynamic_cast<GenericTableViewController*>(ui.visible());
    ASSERT_TRUE(shown);
    const auto lines = shown->sections();
    const int last = std::get<ui::TextField>(lines.back().rows.back().items.front()).tag;
    shown->textFieldShouldReturn(last - 1);
    EXPECT_FALSE(reviewShown());
    shown->textFieldShouldReturn(last);
    EXPECT_TRUE(ui.sawAlert("Attenzione:", "Manca l'insegna")) << "told, but the confirmation goes on";
    EXPECT_TRUE(reviewShown());
    db->rollback();
    auto destinazione = db->fetchDestinazioneByCodice("NEW_1", *db->fetchClienteByCodice("C01"));
    EXPECT_EQ(destinazione->flagModifica(), true);
    EXPECT_EQ(destinazione->destinazioneInfo()->attribute2(), "120 mq");
    (void)t;
}

TEST_F(Review, AgentPrioritiesNotesAndSignatureAreKeptAsTheyAreMade) {
    tipico();
    prefs().setBool(keys::pref_CAMBIOAGENTEENABLED, true);
    prefs().setBool(keys::pref_PRIORITAENABLED, true);
    prefs().setBool(keys::pref_NOTEENABLED, true);
    prefs().setBool(keys::pref_FIRMAENABLED, true);
    db->createAgenteWithCodice("AG2");
    auto& r = open(7);
    EXPECT_EQ(rowTexts(R::kAgente), (std::vector<std::string>{"Agente sconosciuto"}));
    r.didSelectRow(fixed(R::kAgente), 0);
    auto* picker = dynamic_cast<ComboViewController*>(ui.visible());
    ASSERT_TRUE(picker);
    picker->didSelectRow(0, 0);
    r.switchChanged("prioritaAssoluta", true, {fixed(R::kPriorita), 0});
    EXPECT_TRUE(r.shouldChangeCharacters(R::kTagNote, "Pagamento anticipato"));
    r.firmaButtonTapped();
    ASSERT_TRUE(dynamic_cast<FirmaViewController*>(ui.visible()));
    Signature firma;
    firma.imageData = {0x89, 'P', 'N', 'G'};
    r.signaturePadDidCompleteWithSignature(firma);
    EXPECT_TRUE(reviewShown());

    auto t = reread(7);
    EXPECT_EQ(t.agente(), "AG2");
    EXPECT_EQ(db->fetchAgenteByCodice("AG2")->ragioneSociale(), "AG2") << "a nameless agent is named by its code";
    EXPECT_EQ(t.prioritaAssoluta(), true);
    EXPECT_EQ(t.note(), "Pagamento anticipato");
    EXPECT_EQ(t.firma()->size(), 4u);
    r.firmaButtonTapped();
    r.signaturePadDidCompleteWithNoData();
    EXPECT_EQ(reread(7).firma()->size(), 4u) << "an empty pad keeps the signature";
}

TEST_F(Review, ASentOrderIsReadOnly) {
    auto t = tipico();
    t.setDataTrasmissione(parseIsoDate("2026-03-05T10:00:00Z"));
    t.setStatus(1);
    prefs().setBool(keys::pref_NOTEENABLED, true);
    prefs().setBool(keys::pref_PRIORITAENABLED, true);
    prefs().setBool(keys::pref_FIRMAENABLED, true);
    auto& r = open(7);
    EXPECT_TRUE(r.navigationButtons().empty()) << "no edit button";
    EXPECT_FALSE(r.rowAt(0, 0).deletable);
    EXPECT_FALSE(std::get<ui::MultilineText>(r.rowAt(fixed(R::kNote), 0).items[0]).editable);
    EXPECT_FALSE(std::get<ui::Switch>(r.rowAt(fixed(R::kPriorita), 0).items[0]).enabled);
    EXPECT_TRUE(std::get<ui::Button>(r.rowAt(fixed(R::kFirma), 0).items[1]).hidden);
    EXPECT_FALSE(r.shouldChangeCharacters(R::kTagNote, "altro"));
    EXPECT_EQ(std::get<ui::Button>(r.rowAt(fixed(R::kInvia), 0).items[0]).title, "Re-Invia via email");
    EXPECT_EQ(std::get<ui::Button>(r.rowAt(fixed(R::kSospendi), 0).items[0]).title, "Duplica Ordine");
}

TEST_F(Review, ASizeLineTappedGoesBackToOrderEntryWithItsArticle) {
    tipico();
    articolo("MAGLIA");
    auto& r = open(7);
    std::optional<std::string> consegnato;
    r.setConsegnaArticolo([&](const Articolo& a) { consegnato = a.codice(); });
    r.didSelectRow(0, 0);
    EXPECT_FALSE(consegnato) << "a line without sizes does nothing";
    r.didSelectRow(2, 1);
    EXPECT_EQ(consegnato, "MAGLIA");
    EXPECT_EQ(ui.visible(), parent.get());
}

TEST_F(Review, AnOrderWhoseRecordsAreGoneStillOpens) {
    auto t = ordine(9, "GONE", "NOPE");
    riga(t, "NOART", "001", 1, "5");
    auto& r = open(9);
    EXPECT_EQ(rowTexts(R::kRiepilogo, 0), (std::vector<std::string>{"Totale IVA escl.", " 5,00"}));
    EXPECT_EQ(labelTexts(r.rowAt(0, 0))[2], "");
    auto vuoto = ordine(10, "C01", "L01");
    open(10);
    EXPECT_TRUE(ui.sawAlert("Attenzione", "Non ci sono righe Ordine !!!"));
    (void)vuoto;
}
