#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/ScreenModel.h"

namespace torvane::ui {

class Ui;

// A screen controller: it holds the state, answers what to show as data, and receives the
// person's actions as calls. Everything it asks of the platform goes through its `Ui`.
// Table screens give sections of rows; other screens give none and are drawn by special
// widgets chosen by `kind()`.
class Screen : public std::enable_shared_from_this<Screen> {
public:
    explicit Screen(Ui& ui) : ui_(&ui) {}
    virtual ~Screen() = default;
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    Ui& ui() const { return *ui_; }

    // What to show.
    virtual std::string title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    virtual std::string kind() const { return "table"; }
    virtual std::vector<NavigationButton> navigationButtons() const { return {}; }

    // The table, read lazily: a renderer asks for the counts and only for the rows it draws,
    // so a list of 50,000 clients reads a screenful. A screen overrides either these four
    // (long lists) or `sections()` (short screens), whose result the defaults below keep until
    // the next redraw.
    virtual int numberOfSections() const;
    virtual int numberOfRows(int section) const;
    virtual Row rowAt(int section, int row) const;
    virtual SectionHeader sectionHeader(int section) const;
    // The whole table at once; by default built from the lazy calls.
    virtual std::vector<Section> sections() const;
    // Forgets the content kept from `sections()`; renderers call it before drawing afresh.
    virtual void discardCachedContent() const { cached_.reset(); }

    // A screen shown inside another (a tab of a tabbed form) is drawn, navigated from and
    // edited through it: every `Ui` resolves such a screen to `outermost()`.
    Screen* container() const { return container_; }
    void setContainer(Screen* container) { container_ = container; }
    Screen& outermost() {
        Screen* screen = this;
        while (screen->container_) screen = screen->container_;
        return *screen;
    }
    virtual bool hasSearchBar() const { return false; }
    virtual std::string searchPlaceholder() const { return {}; }
    virtual Keyboard searchKeyboard() const { return Keyboard::Default; }
    // The text the search bar must show; none leaves what the person typed.
    virtual std::optional<std::string> searchText() const { return std::nullopt; }
    virtual std::vector<std::string> sectionIndexTitles() const { return {}; }
    virtual bool allowsMultipleSelection() const { return false; }
    bool isEditing() const { return editing_; }

    // The rows now on screen, told by the renderer whenever they change (a scroll, a reload).
    // Work a row needs (a photo to fetch) starts here, never while a row is drawn.
    virtual void rowsShown(const std::vector<IndexPath>& rows) { (void)rows; }
    // True for screens that use `rowsShown`: platforms without a real screen (a script) then
    // tell them the first rows.
    virtual bool followsRowsShown() const { return false; }

    // Life cycle, as the navigation shows and hides the screen.
    virtual void viewWillAppear() {}
    virtual void viewDidAppear() {}
    virtual void viewWillDisappear() {}

    // The person's actions.
    virtual void didSelectRow(int section, int row) { (void)section, (void)row; }
    virtual void didDeselectRow(int section, int row) { (void)section, (void)row; }
    virtual void accessoryTapped(int section, int row) { (void)section, (void)row; }
    virtual void textFieldDidBeginEditing(int tag) { (void)tag; }
    // Asked before a field takes `newText`; false keeps the old text.
    virtual bool shouldChangeCharacters(int tag, const std::string& newText) {
        (void)tag, (void)newText;
        return true;
    }
    virtual void textFieldDidEndEditing(int tag, const std::string& text) { (void)tag, (void)text; }
    virtual bool textFieldShouldReturn(int tag) {
        (void)tag;
        return true;
    }
    virtual void buttonTapped(const std::string& action, IndexPath where) { (void)action, (void)where; }
    virtual void switchChanged(const std::string& action, bool on, IndexPath where) {
        (void)action, (void)on, (void)where;
    }
    virtual void stepperChanged(const std::string& action, double value, IndexPath where) {
        (void)action, (void)value, (void)where;
    }
    virtual void navigationButtonTapped(const std::string& action) { (void)action; }
    // Escape or the window's close button on a modal screen: the screen's own way out, the
    // same as its cancel button. By default the enabled navigation button at the left titled
    // "Annulla" or "Chiudi" is tapped; false when there is none, and the screen stays.
    virtual bool cancelModal();
    virtual void searchTextChanged(const std::string& text) { (void)text; }
    virtual void searchButtonClicked(const std::string& text) { (void)text; }
    virtual void searchCancelled() {}
    virtual void sectionIndexTapped(int index) { (void)index; }
    virtual void commitDeletion(int section, int row) { (void)section, (void)row; }
    virtual void setEditing(bool editing) { editing_ = editing; }

protected:
    // Asks the renderer to draw the screen again from its sections.
    void redraw();
    // Asks the renderer to draw only these rows again (their number of rows is unchanged).
    void redrawRows(const std::vector<IndexPath>& rows);
    // Runs `action` on the main thread after `delay`, unless the screen is gone by then. The
    // screen is watched through the shared pointer the navigation holds it by.
    void afterDelay(std::chrono::milliseconds delay, std::function<void()> action);

private:
    const std::vector<Section>& cachedSections() const;

    Ui* ui_;
    Screen* container_ = nullptr;
    mutable std::optional<std::vector<Section>> cached_;
    // Guards the defaults against a screen that overrides neither side.
    mutable bool buildingSections_ = false;
    std::string title_;
    bool editing_ = false;
};

}  // namespace torvane::ui
