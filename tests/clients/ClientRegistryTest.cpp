// The client list's add and edit paths and the registry behind them, on a real store.
#include <gtest/gtest.h>

#include "clients/ElencoClientiViewController.h"
#include "screens/GenericTableViewController.h"
#include "screens/PartitaIva.h"
#include "screens/ComboViewController.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/TabbedScreen.h"
#include "session/CompanySession.h"
#include "store/Database.h"
#include "store/StoreFixture.h"
#include "support/FakeUi.h"

using namespace torvane;
using namespace torvane::test;

TEST(PartitaIvaRules, LengthThenDigitsThenCheckDigit) {
    EXPECT_EQ(PartitaIva::problem("12345678903"), std::nullopt);
    EXPECT_EQ(PartitaIva::problem("00000000000"), "PartitaIva errata !") << "passes the check digit, yet no one's";
    EXPECT_EQ(PartitaIva::problem("12345670009"), "PartitaIva errata !") << "no office is 000";
    EXPECT_EQ(PartitaIva::problem("12345678901"), "PartitaIva errata !");
    EXPECT_EQ(PartitaIva::problem("1234567890"), "PartitaIva con lunghezza errata !");
    EXPECT_EQ(PartitaIva::problem("123456789033"), "PartitaIva con lunghezza errata !");
    EXPECT_EQ(PartitaIva::problem("AB000000000"), "PartitaIva errata !") << "letters would count 0 in the check digit";
    EXPECT_EQ(PartitaIva::problem("1234567890 "), "PartitaIva errata !");
}

namespace {

struct ClientRegistry : StoreFixture {
    FakeUi ui;
    std::shared_ptr<ui::Screen> root = std::make_shared<ui::Screen>(ui);
    std::shared_ptr<ElencoClientiViewController> list;

    void SetUp() override {
        StoreFixture::SetUp();
        Preferences::standard().setBool(keys::pref_ANAGRAFICAESTESA, true);
        db->createClienteWithBarCode(
            "C001", {{"codice", "C001"}, {"ragioneSociale1", "Rossi Tessuti"}, {"partitaIva", "12345678903"}});
        db->commit();
        list = std::make_shared<ElencoClientiViewController>(ui, nullptr, CompanySession::over(db));
        ui.showTabs({{"SCELTA", "", root}});
        ui.push(*root, list);
    }
    void answerLast(int button) {
        auto shown = ui.alerts().back();
        shown.handler(ui::AlertAnswer{button, {}, 0});
    }
    // Adds a client of the type at `button` of the sheet; the registry is then in front.
    ui::TabbedScreen& add(int button = 0) {
        list->navigationButtonTapped("aggiungiClienteTapped");
        answerLast(button);
        auto* form = dynamic_cast<ui::TabbedScreen*>(ui.visible());
        EXPECT_TRUE(form);
        return *form;
    }
    void type(ui::Screen& form, int tag, const std::string& text) {
        form.textFieldDidBeginEditing(tag);
        form.textFieldDidEndEditing(tag, text);
    }
    std::optional<std::string> counter() {
        auto p = db->fetchParametroByAttributo("SYSTEM_ProgressivoCliente");
        return p ? p->valore() : std::nullopt;
    }
};

}  // namespace

TEST_F(ClientRegistry, ANewClientIsCommittedWithItsCounterOnlyWhenTheRegistryIsConfirmed) {
    // Price lists without area or currency offer no empty entry: the one area is preset, and
    // with no currency at all the fallback is.
    db->createListinoWithBarCode("L01", {{"descrizione", "Stock"}});
    db->createListinoWithBarCode("L02", {{"descrizione", "Export"}, {"area", "EU"}});
    db->commit();
    add().navigationButtonTapped("annulla");  // the sheet's types and the form's tabs: the script test reads them
    EXPECT_FALSE(db->fetchClienteByCodice("NEW0001"));
    EXPECT_FALSE(counter()) << "cancelling leaves no client and no counter";
    EXPECT_EQ(ui.visible(), list.get());

    ui::TabbedScreen& again = add();
    auto nuovo = db->fetchClienteByCodice("NEW0001");
    ASSERT_TRUE(nuovo);
    EXPECT_EQ(nuovo->barCode(), "NEW0001");
    EXPECT_EQ(nuovo->mastro(), "01");
    again.navigationButtonTapped("conferma");
    EXPECT_TRUE(ui.sawAlert("Errore", "La Ragione Sociale e' obbligatoria !"));
    type(again, 0, "Tessitura Nuova");
    type(again, 600, "12345678903");
    again.navigationButtonTapped("conferma");
    EXPECT_TRUE(ui.sawAlert("Errore", "Partita Iva gia' presente in Rossi Tessuti [C001]"));
    type(again, 600, "00000000000");
    again.navigationButtonTapped("conferma");
    EXPECT_TRUE(ui.sawAlert("Errore", "PartitaIva errata !"));
    type(again, 600, "00743110157");
    again.navigationButtonTapped("conferma");
    EXPECT_EQ(ui.visible(), list.get()) << "confirmed: the registry closed";
    db->rollback();
    EXPECT_EQ(counter(), "1");
    auto saved = db->fetchClienteByCodice("NEW0001");
    ASSERT_TRUE(saved);
    auto destinazione = db->fetchDestinazioneByCodice("1", *saved);
    ASSERT_TRUE(destinazione);
    EXPECT_EQ(destinazione->ragioneSociale1(), "Tessitura Nuova") << "the destination takes the client's data";
    EXPECT_EQ(destinazione->abituale(), false);
    EXPECT_EQ(saved->area(), "EU");
    EXPECT_EQ(saved->divisa(), "EURO");
    EXPECT_EQ(list->rowAt(0, 1).accessory, ui::Accessory::DetailButton) << "a client made here can be edited";
    EXPECT_EQ(list->rowAt(0, 0).accessory, ui::Accessory::None);
}

TEST_F(ClientRegistry, TheChecksComeInTheirOrderAndFollowTheParameters) {
    auto cliente =
        *db->createClienteWithBarCode("X", {{"codice", "X"}, {"ragioneSociale1", "Privato"}, {"lingua", "[1] Italiano"}});
    EXPECT_EQ(AnagraficaCliente::problem(*db, cliente), "Il Mastro e' obbligatorio !");
    cliente.setMastro(std::string("04"));
    cliente.setTipo(std::string("PRIVATO"));
    db->createParametroWithAttributo("OBB-CODICEFISCALE")->setValore(std::string("SI"));
    db->createParametroWithAttributo("OBB-AGENTE")->setValore(std::string("NO"));
    EXPECT_EQ(AnagraficaCliente::problem(*db, cliente), "Cod.Fiscale o PartitaIva, obbligatorio !");
    cliente.setCodiceFiscale(std::string("RSSMRA80A01D612X"));
    EXPECT_EQ(AnagraficaCliente::problem(*db, cliente), std::nullopt) << "a tax code alone is enough";
    cliente.setCodiceFiscale(std::string());
    cliente.setTipo(std::string("EXTRACEE"));
    EXPECT_EQ(AnagraficaCliente::problem(*db, cliente), std::nullopt) << "not asked of a client outside the EU";
    cliente.setPartitaIva(std::string("12345678903"));
    EXPECT_EQ(AnagraficaCliente::problem(*db, cliente), "Partita Iva gia' presente in Rossi Tessuti [C001]");
    auto rossi = *db->fetchClienteByCodice("C001");
    rossi.setLingua(std::string("[1] Italiano"));
    rossi.setMastro(std::string("01"));
    cliente.setPartitaIva(std::string());
    EXPECT_EQ(AnagraficaCliente::problem(*db, rossi), std::nullopt) << "its own VAT number is no duplicate";
}

TEST_F(ClientRegistry, TypesFromParametersAgentsAndDestinationFieldsShapeTheForms) {
    db->createParametroWithAttributo("DIC-MASTROCEE", {{"descrizione", "Comunitario"}, {"valore", "22"}});
    for (auto [attributo, valore] : {std::pair{"DES-3", "Si;No"}, std::pair{"DES-10", ""}, std::pair{"DES-2", ""},
                                     std::pair{"DES-31", ""}, std::pair{"DES-0", "Si;No"}})
        db->createParametroWithAttributo(attributo, {{"descrizione", std::string("Campo ") + attributo}, {"valore", valore}});
    db->createAgenteWithCodice("AG01", {{"ragioneSociale", "Mario Agente"}});
    Preferences::standard().setString(keys::pref_agente, "AG01;");
    db->commit();

    ui::TabbedScreen& form = add(0);
    EXPECT_EQ(ui.alerts().front().alert.buttons, (std::vector<std::string>{"Comunitario", "Scegli una delle opzioni"}));
    auto nuovo = *db->fetchClienteByCodice("NEW0001");
    EXPECT_EQ(nuovo.tipo(), "CEE");
    EXPECT_EQ(nuovo.mastro(), "22");
    EXPECT_EQ(nuovo.agenteTemporaneo(), "[AG01] Mario Agente") << "the agent's one code is preselected";

    form.selectTab(1);
    auto commerciale = form.sections();
    EXPECT_EQ(commerciale.back().title, "Agente");
    const int abbonamento = 7 * 100;
    EXPECT_EQ(commerciale[7].title, "Abbonamento");
    EXPECT_TRUE(form.shouldChangeCharacters(abbonamento, "1234567890"));
    EXPECT_FALSE(form.shouldChangeCharacters(abbonamento, "12345678901")) << "the eleventh character is refused";

    form.selectTab(2);
    auto destinazione = form.sections();
    ASSERT_EQ(destinazione.size(), 10u) << "no field for an attribute the extra data does not have";
    EXPECT_TRUE(log->contains("          Nessun campo per DES-31: numero fuori da 1-30"));
    EXPECT_TRUE(log->contains("          Nessun campo per DES-0: numero fuori da 1-30"));
    EXPECT_EQ(destinazione[7].title, "Campo DES-10") << "parameters in their text order";
    EXPECT_EQ(destinazione[8].title, "Campo DES-2");
    EXPECT_EQ(destinazione[9].title, "Campo DES-3");
    form.didSelectRow(9, 0);
    ASSERT_TRUE(dynamic_cast<ComboViewController*>(ui.visible())) << "a parameter with values is a choice";
    ui.visible()->didSelectRow(0, 1);
    auto info = db->fetchDestinazioneByCodice("1", nuovo)->destinazioneInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->attribute3(), "No");
    EXPECT_EQ(ui.visible(), &form);
}

TEST_F(ClientRegistry, ARegistryThatCannotBeOpenedSaysWhyAndLeavesNothingPending) {
    // What other screens left pending cannot be saved first.
    db->connection()->execute("PRAGMA defer_foreign_keys = ON");
    db->connection()->execute("INSERT INTO \"Colore\" (articolo) VALUES (999999)");
    list->navigationButtonTapped("aggiungiClienteTapped");
    answerLast(0);
    EXPECT_TRUE(ui.sawAlert("Errore", "Errore durante il salvataggio delle modifiche sul database"));
    EXPECT_EQ(ui.visible(), list.get());

    // Destination "1" cannot be made.
    db->connection()->execute(
        "CREATE TEMP TRIGGER rifiuta BEFORE INSERT ON \"Destinazione\" BEGIN SELECT RAISE(ABORT, 'disco pieno'); END");
    db->commit();
    list->navigationButtonTapped("aggiungiClienteTapped");
    answerLast(0);
    EXPECT_TRUE(ui.sawAlert("Errore", "Errore durante la creazione di un oggetto Destinazione"));
    EXPECT_EQ(ui.visible(), list.get());
    db->commit();
    EXPECT_FALSE(db->fetchClienteByCodice("NEW0001")) << "the client made for it is taken back";
    EXPECT_FALSE(counter());
}

TEST_F(ClientRegistry, SearchTextsAreTakenLiterallyWhateverTheyHold) {
    for (const char* name : {"100% Lana", "Filati_Nord", "L'Opificio", "東京テキスタイル", "Città Alta"})
        db->createClienteWithBarCode(name, {{"codice", name}, {"ragioneSociale1", name}});
    db->commit();
    auto found = [&](const std::string& text) {
        list->searchTextChanged(text);
        std::string names;
        for (const Cliente& c : list->clienti()) names += c.ragioneSociale1().value_or("") + ";";
        return names;
    };
    EXPECT_EQ(found("%"), "100% Lana;");
    EXPECT_EQ(found("_"), "Filati_Nord;");
    EXPECT_EQ(found("l'o"), "L'Opificio;");
    EXPECT_EQ(found("テキ"), "東京テキスタイル;");
    EXPECT_EQ(found("CITTA"), "Città Alta;") << "case and accents are ignored";
    EXPECT_EQ(found(std::string(1000, 'a')), "");
    EXPECT_EQ(found(""), "100% Lana;Città Alta;Filati_Nord;L'Opificio;Rossi Tessuti;東京テキスタイル;")
        << "an empty text shows every client";
}
