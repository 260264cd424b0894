#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Screen.h"
#include "store/Entities.h"

namespace torvane {

class Database;

// The articles of a price list, in article-code order, with a search: choosing one hands it
// to the opener (order entry) and closes the list. Rows are read only when drawn, as a price
// list may hold tens of thousands of articles.
class ElencoArticoliViewController : public ui::Screen {
public:
    using Selection = std::function<void(const Articolo&)>;
    // A stock lot chosen in an article's stock detail: the line takes the article, then the lot.
    using LotSelection = std::function<void(const Articolo&, const Giacenza&)>;

    // `store` is for tools and tests; by default the shared store of the active company.
    ElencoArticoliViewController(ui::Ui& ui, Listino listino, Selection onSelect, std::shared_ptr<Database> store = nullptr,
                                 LotSelection onLot = {});

    const std::vector<ArticoloListino>& articoli() const { return articoli_; }

    int numberOfSections() const override { return 1; }
    int numberOfRows(int section) const override;
    ui::Row rowAt(int section, int row) const override;
    ui::SectionHeader sectionHeader(int) const override { return {}; }
    bool hasSearchBar() const override { return true; }
    // Numbers only when the agent searches articles by their numeric codes.
    ui::Keyboard searchKeyboard() const override;
    std::optional<std::string> searchText() const override { return searchText_; }

    void viewWillAppear() override;
    void didSelectRow(int section, int row) override;
    void accessoryTapped(int section, int row) override;
    void buttonTapped(const std::string& action, ui::IndexPath where) override;
    void searchTextChanged(const std::string& text) override;
    void searchButtonClicked(const std::string& text) override;
    void searchCancelled() override;

    // The row of an article: a photo row when it has a photo address, else the plain row with
    // its technical data.
    ui::Row rigaArticolo(const Articolo& articolo) const;

private:
    std::shared_ptr<Database> store() const;
    void carica(const std::string& testo);
    // Some stock row of some colour of the article holds a quantity other than 0.
    bool haGiacenze(const Articolo& articolo) const;

    std::shared_ptr<Database> store_;
    Listino listino_;
    Selection onSelect_;
    LotSelection onLot_;
    // A lot was chosen over the list: the list closes as soon as it is back in front.
    bool chiudi_ = false;
    std::vector<ArticoloListino> articoli_;
    std::string searchText_;
};

}  // namespace torvane
