// The short new-client form: what it writes on "Conferma" (or Return in its last field), its
// checks, its scans and its photo.
#include <gtest/gtest.h>

#include "clients/NuovoClienteViewController.h"
#include "platform/Picture.h"
#include "session/CompanySession.h"
#include "store/Database.h"
#include "store/StoreFixture.h"
#include "support/FakeUi.h"
#include "support/TempDir.h"

using namespace torvane;
using namespace torvane::test;

namespace {

// A 3 × 2 red picture.
const std::string kPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x03\x00\x00\x00\x02\x08\x02\x00\x00"
    "\x00\x12\x16\xf1\x4d\x00\x00\x00\x10\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf\xc0\x00\x41\x0c\x70\x16\x00\x41\xd2\x05"
    "\xfb\x87\xf0\xb9\x48\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
    73);

struct NewClientForm : StoreFixture {
    FakeUi ui;
    std::shared_ptr<ui::Screen> list = std::make_shared<ui::Screen>(ui);
    std::shared_ptr<NuovoClienteViewController> form;

    void SetUp() override {
        StoreFixture::SetUp();
        db->createMastroWithCodice("01")->setDescrizione(std::string("Clienti Italia"));
        db->createListinoWithBarCode("L07", {{"descrizione", "Fiera"}, {"tipo", "N"}});
        db->commit();
        ui.showTabs({{"SCELTA", "", list}});
        open();
    }
    void open(std::optional<Cliente> cliente = std::nullopt) {
        form = std::make_shared<NuovoClienteViewController>(ui, cliente, CompanySession::over(db));
        ui.push(*list, form);
    }
    void type(int tag, const std::string& text) {
        form->textFieldDidBeginEditing(tag);
        form->textFieldDidEndEditing(tag, text);
    }
    // Chooses entry `index` of the list behind a button.
    void choose(const std::string& action, int index) {
        form->buttonTapped(action, {});
        ui.visible()->didSelectRow(0, index);
    }
    std::optional<std::string> counter() {
        auto p = db->fetchParametroByAttributo("SYSTEM_ProgressivoCliente");
        return p ? p->valore() : std::nullopt;
    }
};

}  // namespace

TEST_F(NewClientForm, TheFirstClientIsNew001WithWhatWasTypedChosenAndScanned) {
    EXPECT_EQ(form->title(), "Nuovo  Cliente");
    form->confermaTapped();
    EXPECT_TRUE(ui.sawAlert("Errore", "La Ragione Sociale e' obbligatoria !"));
    type(NuovoClienteViewController::RagioneSociale, "Moda ");
    form->barcodeData("123456789", 0);
    form->barcodeData("123456789", 0);
    form->barcodeData("L07", 0);
    form->barcodeData("L99", 0);
    form->barcodeData("12345", 0);
    EXPECT_EQ(std::count(ui.sounds().begin(), ui.sounds().end(), ui::Sound::System1002), 2)
        << "an unknown price list and a code of another length give the error signal";
    form->confermaTapped();
    EXPECT_TRUE(ui.sawAlert("Errore", "La Lingua e' obbligatoria !"));
    choose("lingua", 1);
    form->confermaTapped();
    EXPECT_TRUE(ui.sawAlert("Errore", "Il Mastro e' obbligatorio !"));
    choose("mastro", 0);
    type(NuovoClienteViewController::Telefono, "0574 123456");
    EXPECT_TRUE(form->textFieldShouldReturn(NuovoClienteViewController::Telefono));
    type(NuovoClienteViewController::CodiceFiscale, "12345678903");
    EXPECT_FALSE(db->fetchClienteByCodice("NEW001")) << "nothing is written before the confirmation";
    form->textFieldShouldReturn(NuovoClienteViewController::CodiceFiscale);  // Return in the last field

    EXPECT_EQ(ui.visible(), list.get());
    db->rollback();
    auto cliente = db->fetchClienteByCodice("NEW001");
    ASSERT_TRUE(cliente);
    EXPECT_EQ(cliente->barCode(), "NEW001");
    EXPECT_EQ(cliente->ragioneSociale1(), "Moda 123456789123456789") << "a 9-character scan is appended each time";
    EXPECT_EQ(cliente->lingua(), "2");
    EXPECT_EQ(cliente->mastro(), "01");
    EXPECT_EQ(cliente->listino(), "L07");
    EXPECT_EQ(cliente->fax(), "0574 123456");
    EXPECT_EQ(cliente->partitaIva(), "12345678903");
    EXPECT_EQ(counter(), "1");

    open(cliente);
    EXPECT_EQ(form->title(), "Variazione  Cliente");
    type(NuovoClienteViewController::RagioneSociale, "Moda Prato");
    form->confermaTapped();
    db->rollback();
    EXPECT_EQ(db->fetchClienteByCodice("NEW001")->ragioneSociale1(), "Moda Prato");
    EXPECT_EQ(counter(), "1") << "editing a client does not move the counter";
}

TEST_F(NewClientForm, APhotoIsStoredAsANewPngAndABrokenOneIsRefused) {
    TempDir files;
    writeFile(files.file("foto.png"), kPng);
    writeFile(files.file("rotta.jpg"), std::string("\xff\xd8\xff\xe0 non e' una foto", 20));
    form->immagineScelta(files.file("rotta.jpg"));
    EXPECT_EQ(ui.lastAlert()->title, "Errore");
    form->immagineScelta(files.file("manca.png"));
    EXPECT_NE(ui.lastAlert()->message.find("Non riesco a leggere"), std::string::npos);
    form->immagineScelta(files.file("foto.png"));

    type(NuovoClienteViewController::RagioneSociale, "Con foto");
    choose("lingua", 0);
    choose("mastro", 0);
    form->confermaTapped();
    db->rollback();
    auto foto = db->fetchClienteByCodice("NEW001")->foto();
    ASSERT_TRUE(foto);
    EXPECT_EQ(Picture::pngSize(*foto), (std::pair<int, int>(3, 2)));
}

TEST_F(NewClientForm, AFailedSaveLeavesNeitherTheClientNorTheCounterStepPending) {
    type(NuovoClienteViewController::RagioneSociale, "Moda");
    choose("lingua", 0);
    choose("mastro", 0);
    db->connection()->execute("PRAGMA defer_foreign_keys = ON");
    db->connection()->execute("INSERT INTO \"Colore\" (articolo) VALUES (999999)");  // the next commit fails
    form->confermaTapped();
    EXPECT_TRUE(ui.sawAlert("Errore", "Errore durante il salvataggio delle modifiche sul database"));
    EXPECT_EQ(ui.visible(), form.get()) << "the form stays, with what was typed";
    EXPECT_FALSE(db->fetchClienteByCodice("NEW001"));
    EXPECT_FALSE(counter());

    form->confermaTapped();
    EXPECT_EQ(ui.visible(), list.get());
    db->rollback();
    EXPECT_TRUE(db->fetchClienteByCodice("NEW001"));
    EXPECT_FALSE(db->fetchClienteByCodice("NEW002")) << "one client for one confirmation that worked";
    EXPECT_EQ(counter(), "1");
}

TEST_F(NewClientForm, ReturnOnAnEmptyNameKeepsTheKeyboardAndTurnsTheNameRed) {
    const int nome = NuovoClienteViewController::RagioneSociale;
    auto nameColor = [&] { return std::get<ui::TextField>(form->sections()[0].rows[0].items[1]).color; };
    form->textFieldDidBeginEditing(nome);
    form->shouldChangeCharacters(nome, "M");
    form->shouldChangeCharacters(nome, "");
    const auto before = std::count(ui.events().begin(), ui.events().end(), "endEditing");
    EXPECT_FALSE(form->textFieldShouldReturn(nome));
    EXPECT_TRUE(ui.sawAlert("Errore", "Devi impostare una Ragione Sociale valida !"));
    EXPECT_EQ(std::count(ui.events().begin(), ui.events().end(), "endEditing"), before) << "the keyboard stays";
    EXPECT_TRUE(nameColor());

    form->shouldChangeCharacters(nome, "Moda");
    EXPECT_TRUE(form->textFieldShouldReturn(nome));
    EXPECT_GT(std::count(ui.events().begin(), ui.events().end(), "endEditing"), before);
    EXPECT_FALSE(nameColor());
}
