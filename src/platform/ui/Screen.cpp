#include "platform/ui/Screen.h"

#include "platform/ui/Ui.h"

namespace torvane::ui {

void Screen::redraw() {
    cached_.reset();
    ui_->reload(*this);
}

void Screen::redrawRows(const std::vector<IndexPath>& rows) {
    cached_.reset();
    ui_->reloadRows(*this, rows);
}

bool Screen::cancelModal() {
    for (const NavigationButton& button : navigationButtons())
        if (button.side == NavigationSide::Left && button.enabled && (button.title == "Annulla" || button.title == "Chiudi")) {
            navigationButtonTapped(button.action);
            return true;
        }
    return false;
}

const std::vector<Section>& Screen::cachedSections() const {
    if (!cached_) {
        if (buildingSections_) {
            cached_.emplace();  // neither side overridden: an empty table
        } else {
            buildingSections_ = true;
            cached_ = sections();
            buildingSections_ = false;
        }
    }
    return *cached_;
}

int Screen::numberOfSections() const { return static_cast<int>(cachedSections().size()); }

int Screen::numberOfRows(int section) const {
    const auto& all = cachedSections();
    if (section < 0 || section >= static_cast<int>(all.size())) return 0;
    return static_cast<int>(all[static_cast<size_t>(section)].rows.size());
}

Row Screen::rowAt(int section, int row) const {
    const auto& all = cachedSections();
    if (section < 0 || section >= static_cast<int>(all.size())) return {};
    const auto& rows = all[static_cast<size_t>(section)].rows;
    if (row < 0 || row >= static_cast<int>(rows.size())) return {};
    return rows[static_cast<size_t>(row)];
}

SectionHeader Screen::sectionHeader(int section) const {
    const auto& all = cachedSections();
    if (section < 0 || section >= static_cast<int>(all.size())) return {};
    const Section& found = all[static_cast<size_t>(section)];
    return {found.title, found.footer};
}

std::vector<Section> Screen::sections() const {
    if (buildingSections_) return {};
    std::vector<Section> all;
    const int count = numberOfSections();
    for (int s = 0; s < count; ++s) {
        SectionHeader header = sectionHeader(s);
        Section section{std::move(header.title), std::move(header.footer), {}};
        const int rows = numberOfRows(s);
        for (int r = 0; r < rows; ++r) section.rows.push_back(rowAt(s, r));
        all.push_back(std::move(section));
    }
    return all;
}

void Screen::afterDelay(std::chrono::milliseconds delay, std::function<void()> action) {
    // The screen is held weakly: a timer never keeps a screen alive nor reaches one that is gone.
    std::weak_ptr<Screen> self = weak_from_this();
    ui_->startTimer(delay, [self, action = std::move(action)] {
        if (auto alive = self.lock()) action();
    });
}

}  // namespace torvane::ui
