#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "devices/ScannerClient.h"
#include "screens/ComboDelegate.h"
#include "platform/ui/Screen.h"
#include "store/Entities.h"

namespace torvane {

class CompanySession;
class Database;

// The short form for a client made on the device: a new one ("Nuovo  Cliente") or one made
// earlier ("Variazione  Cliente"). It holds what is typed and chosen, and writes the client
// only when "Conferma" passes its checks; "Annulla" leaves the store untouched. While shown,
// a 3-character scan picks the price list and a 9-character one is appended to the name.
class NuovoClienteViewController : public ui::Screen, public ComboDelegate, public ScannerScreen {
public:
    enum Campo { RagioneSociale = 1, Indirizzo, Citta, Cap, Telefono, Email, Note, CodiceFiscale, Provincia };
    static constexpr int kProvinciaLength = 2;

    // `session`: the company the form works for. No client: a new one.
    NuovoClienteViewController(ui::Ui& ui, std::optional<Cliente> cliente = std::nullopt,
                               std::shared_ptr<CompanySession> session = nullptr);
    ~NuovoClienteViewController() override;

    std::vector<ui::Section> sections() const override;
    std::vector<ui::NavigationButton> navigationButtons() const override;
    void viewWillAppear() override;
    void viewWillDisappear() override;
    void buttonTapped(const std::string& action, ui::IndexPath where) override;
    void navigationButtonTapped(const std::string& action) override;
    bool shouldChangeCharacters(int tag, const std::string& newText) override;
    void textFieldDidEndEditing(int tag, const std::string& text) override;
    bool textFieldShouldReturn(int tag) override;

    void comboWithName(const std::string& name, int tag, const std::vector<std::string>& array, int index) override;
    void barcodeData(const std::string& text, int type) override;
    void magneticCardData(const std::optional<std::string>& track1, const std::optional<std::string>& track2,
                          const std::optional<std::string>& track3) override;

    void confermaTapped();
    void annullaTapped();
    // The picture the person chose; refused with an alert when it is not a readable image.
    void immagineScelta(const std::string& path);

    const std::optional<Cliente>& cliente() const { return cliente_; }

private:
    std::shared_ptr<Database> store() const;
    void riempiDaCliente(Database& database);
    std::optional<std::string> problem(Database& database) const;
    void scrivi(Cliente& cliente) const;
    std::string& testo(int tag);
    const std::string& testo(int tag) const;

    std::shared_ptr<CompanySession> session_;
    std::optional<Cliente> cliente_;
    // By field tag; a field being typed in holds what is typed so far.
    std::vector<std::string> testi_ = std::vector<std::string>(Provincia + 1);
    std::optional<std::string> lingua_;  // "1" to "6"
    std::optional<Mastro> mastro_;
    std::optional<Listino> listino_;
    std::optional<Agente> agente_;
    std::optional<Nazione> nazione_;
    std::optional<std::vector<unsigned char>> foto_;
    bool ragioneSocialeErrata_ = false;
    // The lists as shown in the pickers, by picker name.
    std::vector<Mastro> mastri_;
    std::vector<Listino> listini_;
    std::vector<Agente> agenti_;
    std::vector<Nazione> nazioni_;
    std::unique_ptr<ScannerClient> scanners_;
};

}  // namespace torvane
