#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/ui/Screen.h"
#include "store/Entities.h"

namespace torvane {

class CompanySession;
class Database;
class FotoDestinatario;

// The articles of a price list, in article-code order, with a search: choosing one hands it
// to the opener (order entry) and closes the list. Rows are read only when drawn, as a price
// list may hold tens of thousands of articles; drawing a row only reads. The thumbnails of the
// rows on screen are asked of the photo cache, those of rows scrolled away are dropped, and an
// arriving thumbnail redraws its own row alone.
class ElencoArticoliViewController : public ui::Screen {
public:
    using Selection = std::function<void(const Articolo&)>;
    // A stock lot chosen in an article's stock detail: the line takes the article, then the lot.
    using LotSelection = std::function<void(const Articolo&, const Giacenza&)>;

    // `session`: the company the screen works for; without one it shows nothing of a store.
    ElencoArticoliViewController(ui::Ui& ui, Listino listino, Selection onSelect, std::shared_ptr<CompanySession> session = nullptr,
                                 LotSelection onLot = {});
    ~ElencoArticoliViewController() override;

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
    void viewWillDisappear() override;
    void rowsShown(const std::vector<ui::IndexPath>& rows) override;
    bool followsRowsShown() const override { return true; }
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
    // Some stock row of some colour of the article holds a quantity other than 0; `log`: the
    // photo row's lines about the colours and stock looked at.
    bool haGiacenze(const Articolo& articolo, bool log) const;
    std::optional<Articolo> articoloAt(int row) const;
    // A photo row: the article names a thumbnail, or every row is asked for one.
    static bool conFoto(const Articolo& articolo);
    void fotoArrivata(const std::string& file);
    // Forgets which rows were on screen and drops the thumbnails asked for them.
    void dimenticaRigheMostrate();

    std::shared_ptr<CompanySession> session_;
    Listino listino_;
    Selection onSelect_;
    LotSelection onLot_;
    // A lot was chosen over the list: the list closes as soon as it is back in front.
    bool chiudi_ = false;
    std::vector<ArticoloListino> articoli_;
    std::string searchText_;
    std::shared_ptr<FotoDestinatario> foto_;
    // The thumbnail file of each row on screen, by row.
    std::map<int, std::string> mostrate_;
};

}  // namespace torvane
