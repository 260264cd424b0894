#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace torvane::ui {

// What a screen shows, as plain data. A renderer (Qt, the test fake, a script) draws it;
// screens never touch widgets, so every screen can be driven and checked without a display.

struct Color {
    std::uint8_t red = 0, green = 0, blue = 0, alpha = 255;
    friend bool operator==(const Color&, const Color&) = default;
};

enum class TextStyle { Normal, Bold, Title, Subtitle, Detail, Small };
enum class Alignment { Left, Center, Right };
enum class Keyboard { Default, Number, Decimal, NumbersAndPunctuation, Email, Phone, Url };

struct Label {
    std::string text;
    TextStyle style = TextStyle::Normal;
    double pointSize = 0;         // 0: the style's size
    double minimumPointSize = 0;  // shrink down to this to fit the width; 0: never shrink
    Alignment alignment = Alignment::Left;
    std::optional<Color> color;
    std::optional<Color> background;
    bool hidden = false;
    // Its part of the row's width beside the other labels; 0: the renderer's usual part.
    int share = 0;
};

// An editable one-line field. The tag is how the screen knows which field an event is about.
struct TextField {
    int tag = 0;
    std::string text;
    std::string placeholder;
    Keyboard keyboard = Keyboard::Default;
    int maxLength = 0;  // 0: no limit
    bool enabled = true;
    bool secure = false;
    Alignment alignment = Alignment::Left;
    std::optional<Color> color;  // of the text; none: the platform's
};

struct Button {
    std::string action;  // what the screen receives when it is tapped
    std::string title;
    std::string pressedTitle;  // empty: same as title
    bool enabled = true;
    bool hidden = false;
    std::optional<Color> color;       // of the title
    std::optional<Color> background;  // none: the platform's
};

struct Switch {
    std::string action;
    std::string title;  // shown beside the switch
    bool on = false;
    bool enabled = true;
};

struct Stepper {
    std::string action;
    double value = 0;
    double minimum = 0;
    double maximum = 100;
    double step = 1;
    bool enabled = true;
};

struct Image {
    std::string path;  // a file; empty shows a blank frame unless `encoded` is given
    int width = 0;     // 0: natural size
    int height = 0;
    // A picture not kept in a file (a photo not saved yet), PNG or JPEG bytes, drawn when
    // there is no path.
    std::shared_ptr<const std::vector<unsigned char>> encoded = nullptr;
};

struct MultilineText {
    int tag = 0;
    std::string text;
    bool editable = false;
};

// A bar from 0 to 1 (work under way).
struct ProgressBar {
    double value = 0;
};

using Item = std::variant<Label, TextField, Button, Switch, Stepper, Image, MultilineText, ProgressBar>;

enum class Accessory { None, Disclosure, DetailButton, DetailDisclosure, Checkmark };

struct Row {
    std::vector<Item> items;
    Accessory accessory = Accessory::None;
    std::string kind;  // the cell kind, for renderers with special cells ("TaglieCell")
    bool stacked = false;  // items one below the other instead of side by side
    bool selectable = true;
    bool selected = false;
    bool deletable = false;
    int height = 0;  // 0: the renderer's natural height
    std::optional<Color> background;
    // The edit menu offered over the row: copying its text, then these items, which do nothing.
    std::vector<std::string> editMenu;

    // A row of labels, the most common kind.
    static Row labels(std::vector<std::string> texts, Accessory accessory = Accessory::None);
};

// A section's title and footer, without its rows.
struct SectionHeader {
    std::string title;
    std::string footer;
};

struct Section {
    std::string title;
    std::string footer;
    std::vector<Row> rows;
};

struct IndexPath {
    int section = 0;
    int row = 0;
    friend bool operator==(const IndexPath&, const IndexPath&) = default;
};

enum class ScrollPosition { None, Top, Middle, Bottom };

enum class NavigationSide { Left, Right };

struct NavigationButton {
    std::string action;
    std::string title;
    NavigationSide side = NavigationSide::Right;
    bool enabled = true;
};

}  // namespace torvane::ui
