#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Screen.h"

namespace torvane::ui {

// Several screens shown as the tabs of one (a form in four parts): it shows the selected tab
// and passes it every call, so a renderer draws it as any table with a tab bar on top. The
// tabs are shown inside it: they navigate, redraw and edit through it.
class TabbedScreen : public Screen {
public:
    TabbedScreen(Ui& ui, std::vector<std::shared_ptr<Screen>> tabs);
    ~TabbedScreen() override;

    std::string kind() const override { return "tabs"; }
    const std::vector<std::shared_ptr<Screen>>& tabs() const { return tabs_; }
    std::vector<std::string> tabTitles() const;
    int selectedTab() const { return selected_; }
    // The tab leaving hears it disappear, the one coming it appear; then the screen redraws.
    void selectTab(int index);
    Screen& current() const { return *tabs_.at(static_cast<std::size_t>(selected_)); }

    std::string title() const override { return current().title(); }
    std::vector<NavigationButton> navigationButtons() const override { return current().navigationButtons(); }
    int numberOfSections() const override { return current().numberOfSections(); }
    int numberOfRows(int section) const override { return current().numberOfRows(section); }
    Row rowAt(int section, int row) const override { return current().rowAt(section, row); }
    SectionHeader sectionHeader(int section) const override { return current().sectionHeader(section); }
    std::vector<Section> sections() const override { return current().sections(); }
    void discardCachedContent() const override;
    bool hasSearchBar() const override { return current().hasSearchBar(); }
    std::string searchPlaceholder() const override { return current().searchPlaceholder(); }
    std::optional<std::string> searchText() const override { return current().searchText(); }
    std::vector<std::string> sectionIndexTitles() const override { return current().sectionIndexTitles(); }
    bool allowsMultipleSelection() const override { return current().allowsMultipleSelection(); }

    void viewWillAppear() override { current().viewWillAppear(); }
    void viewDidAppear() override { current().viewDidAppear(); }
    void viewWillDisappear() override { current().viewWillDisappear(); }

    void didSelectRow(int section, int row) override { current().didSelectRow(section, row); }
    void didDeselectRow(int section, int row) override { current().didDeselectRow(section, row); }
    void accessoryTapped(int section, int row) override { current().accessoryTapped(section, row); }
    void textFieldDidBeginEditing(int tag) override { current().textFieldDidBeginEditing(tag); }
    bool shouldChangeCharacters(int tag, const std::string& newText) override {
        return current().shouldChangeCharacters(tag, newText);
    }
    void textFieldDidEndEditing(int tag, const std::string& text) override { current().textFieldDidEndEditing(tag, text); }
    bool textFieldShouldReturn(int tag) override { return current().textFieldShouldReturn(tag); }
    void buttonTapped(const std::string& action, IndexPath where) override { current().buttonTapped(action, where); }
    void switchChanged(const std::string& action, bool on, IndexPath where) override {
        current().switchChanged(action, on, where);
    }
    void stepperChanged(const std::string& action, double value, IndexPath where) override {
        current().stepperChanged(action, value, where);
    }
    void navigationButtonTapped(const std::string& action) override { current().navigationButtonTapped(action); }
    void searchTextChanged(const std::string& text) override { current().searchTextChanged(text); }
    void searchButtonClicked(const std::string& text) override { current().searchButtonClicked(text); }
    void searchCancelled() override { current().searchCancelled(); }
    void sectionIndexTapped(int index) override { current().sectionIndexTapped(index); }
    void commitDeletion(int section, int row) override { current().commitDeletion(section, row); }

private:
    std::vector<std::shared_ptr<Screen>> tabs_;
    int selected_ = 0;
};

}  // namespace torvane::ui
