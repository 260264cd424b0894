#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ui/Screen.h"
#include "platform/ui/FieldTag.h"
#include "platform/ui/Ui.h"
#include "store/Entities.h"

namespace torvane {

class Database;

// The size grid of an article sold by size: one section per colour root, one row per size,
// each row with its quantity as a field and a stepper. Several rows can be selected so that
// one change reaches them all. Quantities are written to the temporary size rows and left
// pending: only the confirmation of the line commits them.
class SceltaTaglieViewController : public ui::Screen {
public:
    // `posizione` is the order-entry row that was tapped: 0 the size header, k ≥ 1 root k−1.
    // The screen keeps `database` alive: a company switch may replace the session while the
    // grid is shown.
    SceltaTaglieViewController(ui::Ui& ui, std::shared_ptr<Database> database, const Articolo& articolo,
                               int posizione);

    // Every control of a grid row carries one tag, in the size grid's scheme.
    static int tagFor(int section, int row) { return ui::kSizeGridTags.of(section, row); }
    static ui::IndexPath indexPathForTag(int tag) { return ui::kSizeGridTags.at(tag); }

    const std::optional<Articolo>& articolo() const { return articolo_; }
    int posizione() const { return posizione_; }
    std::optional<int> campoInModifica() const { return campoInModifica_; }
    bool isSelected(int section, int row) const;

    std::vector<ui::Section> sections() const override;
    std::vector<ui::NavigationButton> navigationButtons() const override;
    bool allowsMultipleSelection() const override { return true; }

    void viewDidAppear() override;
    void viewWillDisappear() override;
    void didSelectRow(int section, int row) override;
    void didDeselectRow(int section, int row) override;
    void navigationButtonTapped(const std::string& action) override;
    void stepperChanged(const std::string& action, double value, ui::IndexPath where) override;
    void textFieldDidBeginEditing(int tag) override;
    bool shouldChangeCharacters(int tag, const std::string& newText) override;
    void textFieldDidEndEditing(int tag, const std::string& text) override;
    bool textFieldShouldReturn(int tag) override;

    // "De-seleziona": ends editing and clears the selection.
    void chiudiKeyboard();
    // Sets the quantity at the tag's row from the text (0 when not a number) and returns the
    // new quantity minus the old one; 0 for a tag outside the grid.
    long long updateQuantita(int tag, const std::string& campoVal);
    void stepperValueChanged(int tag, double value);

private:
    static std::optional<int> tagAt(int section, int row);
    std::vector<ColoreSxBarra> radici() const;
    std::size_t numeroTaglie() const;
    std::optional<TempSceltaTaglia> rigaTaglia(int tag) const;
    // Adds `delta` to, or sets `valore` on, every selected row but the one at `tag`.
    void propagaDelta(int tag, long long delta);
    void propagaValore(int tag, long long valore);
    void centerTableForSection(int posizione);
    void scrollToMiddle(int tag);

    std::shared_ptr<Database> database_;
    std::optional<Articolo> articolo_;
    int posizione_;
    std::set<int> selezionate_;
    std::optional<int> campoInModifica_;
    std::string testoInModifica_;
};

}  // namespace torvane
