#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "clients/AnagraficaCliente.h"
#include "platform/ui/Screen.h"
#include "store/Entities.h"

namespace torvane {

class CompanySession;
class Database;

// The client list: a search bar over every client in name order. Choosing a client hands it
// to the screen that opened the list and closes the list. Rows are read only when drawn, so
// a list of tens of thousands of clients opens at once.
class ElencoClientiViewController : public ui::Screen {
public:
    using Selection = std::function<void(const Cliente&)>;

    // `session`: the company the screen works for; without one it shows nothing of a store.
    ElencoClientiViewController(ui::Ui& ui, Selection onSelect, std::shared_ptr<CompanySession> session = nullptr);

    const std::vector<Cliente>& clienti() const { return clienti_; }
    void fetchAllCliente();
    void fetchAllMatchesCliente(const std::string& text);

    // The row of a client: code, names, address, town, country and the exposure mark.
    ui::Row rigaCliente(const Cliente& cliente) const;

    int numberOfSections() const override { return 1; }
    int numberOfRows(int section) const override;
    ui::Row rowAt(int section, int row) const override;
    ui::SectionHeader sectionHeader(int section) const override {
        (void)section;
        return {};
    }
    std::vector<ui::NavigationButton> navigationButtons() const override;
    bool hasSearchBar() const override { return true; }
    std::optional<std::string> searchText() const override { return searchText_; }

    void viewWillAppear() override;
    void didSelectRow(int section, int row) override;
    void accessoryTapped(int section, int row) override;
    void navigationButtonTapped(const std::string& action) override;
    void searchTextChanged(const std::string& text) override;
    void searchButtonClicked(const std::string& text) override;
    void searchCancelled() override;

    // The add button: the client-type sheet, then the registry on a new "NEW%04d" client.
    void aggiungiClienteTapped();
    // The sheet's answer; the last button cancels.
    void actionSheetClickedButtonAtIndex(int index);
    // The types offered by the sheet, as three parallel lists.
    std::vector<std::string> mastriCodici, mastriDescrizioni, mastriKeyCorrispondenti;

private:
    std::shared_ptr<Database> store() const;
    void gestisciAnagrafica(const Cliente& cliente);

    std::shared_ptr<CompanySession> session_;
    Selection onSelect_;
    bool esposizioneEnabled_;
    std::vector<Cliente> clienti_;
    std::string searchText_;
    std::unique_ptr<AnagraficaCliente> anagrafica_;
};

}  // namespace torvane
