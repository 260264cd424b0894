#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "screens/GenericField.h"
#include "screens/GenericTableDelegate.h"
#include "store/Entities.h"

namespace torvane {

class Database;
namespace ui {
class Screen;
class TabbedScreen;
class Ui;
}  // namespace ui

// The client registry: four forms ("Generale", "Commerc.", "Dest.", "Contatti") as the tabs of
// one modal screen, editing the client, its destination "1" and their extra data in place.
// "Conferma" checks the data and commits everything pending; "Annulla" rolls it all back,
// including a client made just before it opened.
class AnagraficaCliente : public GenericTableDelegate {
public:
    using Store = std::function<std::shared_ptr<Database>()>;
    // `store` gives the store to edit (the opener's); `closed` runs after the registry has
    // closed (the opener reloads its list).
    AnagraficaCliente(ui::Ui& ui, Store store, std::function<void()> closed);
    ~AnagraficaCliente() override;

    // Builds the registry for the client and shows it modally over `from`.
    void gestisciAnagrafica(ui::Screen& from, const Cliente& cliente);
    bool isOpen() const { return clienteCorrente_.has_value(); }
    const std::shared_ptr<ui::TabbedScreen>& screen() const { return screen_; }

    void genericTableControllerWithName(const std::string& name, const std::string& button) override;

    // The first failed check's message, in the order they are made; none when all pass.
    static std::optional<std::string> problem(Database& database, const Cliente& cliente);

private:
    std::vector<GenericField> generale(Database& database) const;
    std::vector<GenericField> commerciale(Database& database) const;
    std::vector<GenericField> destinazione(Database& database) const;
    std::vector<GenericField> contatti() const;
    void conferma(Database& database);
    void chiudi();

    ui::Ui& ui_;
    Store store_;
    std::function<void()> closed_;
    std::optional<Cliente> clienteCorrente_;
    std::optional<Destinazione> destinazioneCorrente_;
    std::optional<ClienteInfo> clienteInfoCorrente_;
    std::shared_ptr<ui::TabbedScreen> screen_;
};

}  // namespace torvane
