#include "ItemStyle.h"

namespace torvane::gui {

Qt::Alignment qalign(ui::Alignment alignment) {
    switch (alignment) {
        case ui::Alignment::Center: return Qt::AlignCenter;
        case ui::Alignment::Right: return Qt::AlignRight | Qt::AlignVCenter;
        default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QFont styledFont(QFont font, ui::TextStyle style) {
    switch (style) {
        case ui::TextStyle::Bold: font.setBold(true); break;
        case ui::TextStyle::Title:
            font.setBold(true);
            font.setPointSizeF(font.pointSizeF() * 1.25);
            break;
        case ui::TextStyle::Subtitle: font.setItalic(true); break;
        case ui::TextStyle::Detail:
        case ui::TextStyle::Small: font.setPointSizeF(font.pointSizeF() * 0.85); break;
        default: break;
    }
    return font;
}

QFont labelFont(const QFont& base, const ui::Label& label) {
    QFont font = styledFont(base, label.style);
    if (label.pointSize > 0) font.setPointSizeF(label.pointSize);
    return font;
}

QColor labelColor(const ui::Label& label, const QColor& text) {
    if (label.color) return qcolor(*label.color);
    if (label.style == ui::TextStyle::Detail) return QColor(110, 110, 110);
    return text;
}

}  // namespace torvane::gui
