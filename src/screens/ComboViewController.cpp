#include "screens/ComboViewController.h"

#include "screens/ComboDelegate.h"
#include "platform/Log.h"
#include "platform/TextCase.h"
#include "platform/ui/Ui.h"

namespace torvane {

ComboViewController::ComboViewController(ui::Ui& ui, std::string name, int tag, std::vector<std::string> lista,
                                         ComboDelegate* delegate)
    : ComboViewController(ui, std::move(name), tag, std::move(lista), {}, delegate) {}

ComboViewController::ComboViewController(ui::Ui& ui, std::string name, int tag, std::vector<std::string> lista,
                                         std::vector<std::string> descrizioni, ComboDelegate* delegate)
    : Screen(ui),
      name_(std::move(name)),
      tag_(tag),
      listaOriginale_(std::move(lista)),
      descrizioniOriginale_(std::move(descrizioni)),
      lista_(listaOriginale_),
      descrizioni_(descrizioniOriginale_),
      delegate_(delegate) {
    setTitle(name_);
}

std::vector<ui::Section> ComboViewController::sections() const {
    ui::Section section;
    for (size_t i = 0; i < lista_.size(); ++i) {
        ui::Row row;
        row.stacked = true;
        ui::Label entry;
        entry.text = lista_[i];
        entry.style = ui::TextStyle::Bold;
        entry.pointSize = 18;
        entry.minimumPointSize = 16;
        row.items.emplace_back(entry);
        if (i < descrizioni_.size()) {
            ui::Label description;
            description.text = descrizioni_[i];
            description.pointSize = 17;
            description.minimumPointSize = 16;
            row.items.emplace_back(description);
        }
        section.rows.push_back(std::move(row));
    }
    return {section};
}

void ComboViewController::searchTextChanged(const std::string& text) {
    Log::f("searchBarTextDidChange: %@", text);
    searchText_ = text;
    lista_.clear();
    descrizioni_.clear();
    std::vector<int> riferimento;
    for (size_t i = 0; i < listaOriginale_.size(); ++i) {
        if (!TextCase::containsIgnoringCase(listaOriginale_[i], text)) continue;
        lista_.push_back(listaOriginale_[i]);
        if (i < descrizioniOriginale_.size()) descrizioni_.push_back(descrizioniOriginale_[i]);
        riferimento.push_back(static_cast<int>(i));
    }
    riferimento_ = std::move(riferimento);
    Log::f("Trovate N.%d entry", static_cast<int>(lista_.size()));
    for (size_t row = 0; row < lista_.size(); ++row) Log::f("    %d ---> %@", (*riferimento_)[row], lista_[row]);
    redraw();
}

void ComboViewController::searchButtonClicked(const std::string& text) {
    Log::f("searchBarSearchButtonClicked: %@", text);
    ui().endEditing(*this);
    Log::f("Trovate N.%d entry", static_cast<int>(lista_.size()));
    redraw();
}

void ComboViewController::searchCancelled() {
    Log::f("searchBarCancelButtonClicked: %@", searchText_);
    searchText_.clear();
    ui().endEditing(*this);
    lista_ = listaOriginale_;
    descrizioni_ = descrizioniOriginale_;
    riferimento_.reset();
    redraw();
}

void ComboViewController::didSelectRow(int section, int row) {
    (void)section;
    if (row < 0 || row >= static_cast<int>(lista_.size())) return;
    const int index = riferimento_ ? (*riferimento_)[static_cast<size_t>(row)] : row;
    Log::f("Combo didSelectRowAtIndexPath %d", index);
    if (delegate_) delegate_->comboWithName(name_, tag_, listaOriginale_, index);
    ui().pop(*this);
}

void ComboViewController::viewWillDisappear() { ui().endEditing(*this); }

}  // namespace torvane
