#include "script/ScreenText.h"

#include <variant>

#include "platform/ui/Screen.h"
#include "platform/ui/TabbedScreen.h"
#include "script/ScriptUi.h"

namespace torvane::script {

namespace {

std::string marks(bool enabled, bool hidden) {
    std::string text;
    if (!enabled) text += " (disabilitato)";
    if (hidden) text += " (nascosto)";
    return text;
}

std::string number(double value) {
    if (value == static_cast<double>(static_cast<long long>(value))) return std::to_string(static_cast<long long>(value));
    std::string text = std::to_string(value);
    while (!text.empty() && text.back() == '0') text.pop_back();
    return text;
}

std::string item(const ui::Item& item, const std::optional<std::string>& editedText, int editedTag) {
    struct Visitor {
        const std::optional<std::string>& editedText;
        int editedTag;
        std::string operator()(const ui::Label& l) const { return l.hidden ? "" : l.text; }
        std::string operator()(const ui::TextField& f) const {
            const std::string& text = editedText && f.tag == editedTag ? *editedText : f.text;
            std::string shown = f.secure ? std::string(text.size(), '*') : text;
            if (shown.empty() && !f.placeholder.empty()) shown = "(" + f.placeholder + ")";
            return "<" + std::to_string(f.tag) + ": " + shown + ">" + marks(f.enabled, false);
        }
        std::string operator()(const ui::Button& b) const { return "[" + b.title + "]" + marks(b.enabled, b.hidden); }
        std::string operator()(const ui::Switch& s) const {
            return "(" + s.title + ": " + (s.on ? "on" : "off") + ")" + marks(s.enabled, false);
        }
        std::string operator()(const ui::Stepper& s) const {
            return "{stepper " + number(s.value) + "}" + marks(s.enabled, false);
        }
        std::string operator()(const ui::Image& i) const {
            std::string size = i.width > 0 && i.height > 0 ? std::to_string(i.width) + "x" + std::to_string(i.height) + " " : "";
            const std::string name = i.path.empty() ? std::string("vuota") : i.path.substr(i.path.find_last_of('/') + 1);
            return "{immagine " + size + name + "}";
        }
        std::string operator()(const ui::ProgressBar& p) const {
            return "{avanzamento " + std::to_string(static_cast<int>(p.value * 100 + 0.5)) + "%}";
        }
        std::string operator()(const ui::MultilineText& m) const {
            return "<<" + std::to_string(m.tag) + ": " + m.text + ">>";
        }
    };
    return std::visit(Visitor{editedText, editedTag}, item);
}

const char* accessory(ui::Accessory accessory) {
    switch (accessory) {
    case ui::Accessory::Disclosure: return " >";
    case ui::Accessory::DetailButton: return " (i)";
    case ui::Accessory::DetailDisclosure: return " (i)>";
    case ui::Accessory::Checkmark: return " \u2713";
    case ui::Accessory::None: break;
    }
    return "";
}

// Footers and titles can span lines: each further line is indented under the first.
std::string indented(const std::string& text, const std::string& indent) {
    std::string result;
    for (char c : text) {
        result += c;
        if (c == '\n') result += indent;
    }
    return result;
}

std::string tabs(const ScriptUi& ui) {
    const auto& tabs = ui.navigation().tabs();
    if (tabs.empty()) return {};
    std::string line = "schede:";
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        const bool selected = static_cast<int>(i) == ui.navigation().selectedTab();
        line += (i ? " | " : " ") + std::string(selected ? "*" : "") + tabs[i].title + (selected ? "*" : "");
        if (auto badge = ui.badge(static_cast<int>(i))) line += " (" + *badge + ")";
    }
    return line + "\n";
}

}  // namespace

std::string ScreenText::row(const ui::Row& row, const std::optional<std::string>& editedText, int editedTag) {
    std::string text;
    for (const ui::Item& each : row.items) {
        std::string shown = item(each, editedText, editedTag);
        if (shown.empty()) continue;
        text += (text.empty() ? "" : " | ") + shown;
    }
    text += accessory(row.accessory);
    if (row.selected) text += " (selezionata)";
    if (!row.editMenu.empty()) {
        text += " {Copia";
        for (const std::string& entry : row.editMenu) text += ", " + entry;
        text += "}";
    }
    return text;
}

std::string ScreenText::of(const ScriptUi& ui) {
    ui::Screen* screen = ui.visible();
    if (!screen) return "(nessuno schermo)\n" + tabs(ui);
    screen->discardCachedContent();
    std::string text = "== " + screen->title() + " ==";
    for (const auto& button : screen->navigationButtons())
        text += "  [" + button.title + "]" + marks(button.enabled, false);
    text += "\n";
    if (auto* form = dynamic_cast<const ui::TabbedScreen*>(screen)) {
        const auto titles = form->tabTitles();
        text += "schede del modulo:";
        for (std::size_t i = 0; i < titles.size(); ++i) {
            const bool selected = static_cast<int>(i) == form->selectedTab();
            text += (i ? " | " : " ") + std::string(selected ? "*" : "") + titles[i] + (selected ? "*" : "");
        }
        text += "\n";
    }
    if (screen->hasSearchBar())
        text += std::string(screen->searchKeyboard() == ui::Keyboard::Number ? "cerca (numeri): " : "cerca: ") +
                screen->searchText().value_or("") + "\n";

    std::optional<std::string> editedText;
    int editedTag = 0;
    if (const auto& editing = ui.editing(); editing && editing->screen == screen && editing->typed) {
        editedText = editing->text;
        editedTag = editing->tag;
    }
    const int sections = screen->numberOfSections();
    for (int s = 0; s < sections; ++s) {
        const ui::SectionHeader header = screen->sectionHeader(s);
        text += "-- " + std::to_string(s) + (header.title.empty() ? "" : " " + indented(header.title, "   ")) + " --\n";
        const int rows = screen->numberOfRows(s);
        const int shown = std::min(rows, kRowsShownPerSection);
        for (int r = 0; r < shown; ++r) {
            const std::string place = std::to_string(s) + "." + std::to_string(r);
            text += place + "  " + indented(row(screen->rowAt(s, r), editedText, editedTag), "     ") + "\n";
        }
        if (rows > shown) text += "     ... e altre " + std::to_string(rows - shown) + " righe\n";
        if (!header.footer.empty()) text += "     " + indented(header.footer, "     ") + "\n";
    }
    return text + tabs(ui);
}

}  // namespace torvane::script
