#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Screen.h"

namespace torvane {

class ComboDelegate;

// The list picker every screen uses to choose one entry: a searchable list that reports the
// chosen entry's index in the full list, whatever filter is shown, and closes itself.
class ComboViewController : public ui::Screen {
public:
    // The delegate is the screen below the picker on the navigation stack, so it outlives it.
    ComboViewController(ui::Ui& ui, std::string name, int tag, std::vector<std::string> lista,
                        ComboDelegate* delegate);
    ComboViewController(ui::Ui& ui, std::string name, int tag, std::vector<std::string> lista,
                        std::vector<std::string> descrizioni, ComboDelegate* delegate);

    const std::string& name() const { return name_; }
    int tag() const { return tag_; }
    const std::vector<std::string>& lista() const { return lista_; }
    const std::vector<std::string>& descrizioni() const { return descrizioni_; }
    const std::optional<std::vector<int>>& riferimento() const { return riferimento_; }

    std::vector<ui::Section> sections() const override;
    bool hasSearchBar() const override { return true; }
    std::optional<std::string> searchText() const override { return searchText_; }

    void searchTextChanged(const std::string& text) override;
    void searchButtonClicked(const std::string& text) override;
    void searchCancelled() override;
    void didSelectRow(int section, int row) override;
    void viewWillDisappear() override;

private:
    std::string name_;
    int tag_;
    std::vector<std::string> listaOriginale_;
    std::vector<std::string> descrizioniOriginale_;
    std::vector<std::string> lista_;
    std::vector<std::string> descrizioni_;
    std::optional<std::vector<int>> riferimento_;
    std::string searchText_;
    ComboDelegate* delegate_;
};

}  // namespace torvane
