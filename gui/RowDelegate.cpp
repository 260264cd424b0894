#include "RowDelegate.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <numeric>

#include "ItemStyle.h"
#include "RowGeometry.h"
#include "RowWidget.h"
#include "ScreenTableModel.h"
#include "ScreenTableView.h"

namespace torvane::gui {

namespace {
constexpr int kPadding = 6;
constexpr int kUntitledGap = 8;  // between sections without a title
const QColor kSectionBand(236, 236, 241);
const QColor kSeparator(222, 222, 226);
const QColor kDetailBlue(0, 110, 220);
const QColor kGrey(120, 120, 120);
const QColor kDeleteRed(215, 40, 40);

std::vector<const ui::Label*> labelsOf(const ui::Row& row) {
    std::vector<const ui::Label*> labels;
    for (const ui::Item& item : row.items)
        if (const auto* label = std::get_if<ui::Label>(&item)) labels.push_back(label);
    return labels;
}
}  // namespace

RowDelegate::RowDelegate(ScreenTableView& view) : QStyledItemDelegate(&view), view_(view) {}

std::vector<QRect> RowDelegate::labelSlots(const QRect& content, int count, const std::vector<int>& asked) {
    std::vector<QRect> parts;
    if (count <= 0) return parts;
    std::vector<int> shares(static_cast<size_t>(count), 1);
    if (count >= 2) shares[1] = 3;
    if (static_cast<int>(asked.size()) == count && std::any_of(asked.begin(), asked.end(), [](int s) { return s > 0; }))
        for (int i = 0; i < count; ++i) shares[static_cast<size_t>(i)] = std::max(1, asked[static_cast<size_t>(i)]);
    const int total = std::accumulate(shares.begin(), shares.end(), 0);
    int left = content.left();
    int used = 0;
    for (int i = 0; i < count; ++i) {
        used += shares[static_cast<size_t>(i)];
        const int right = content.left() + content.width() * used / total;
        parts.emplace_back(QPoint(left, content.top()), QPoint(right - 1, content.bottom()));
        left = right;
    }
    // A little air between neighbours.
    for (size_t i = 0; i + 1 < parts.size(); ++i) parts[i].setRight(parts[i].right() - 4);
    return parts;
}

QSize RowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const ScreenTableModel& model = view_.screenModel();
    const ui::IndexPath where = model.pathOf(index);
    const QFont& base = option.font;
    switch (model.kindOf(index)) {
        case ScreenTableModel::Kind::Section:
            if (model.header(where.section).title.empty()) return {0, where.section == 0 ? 0 : kUntitledGap};
            return {0, QFontMetrics(styledFont(base, ui::TextStyle::Bold)).height() + 2 * kPadding};
        case ScreenTableModel::Kind::Footer: return {0, footerHeight(where.section, base)};
        case ScreenTableModel::Kind::Row: break;
    }
    return {0, rowHeight(*model.row(where), base)};
}

int RowDelegate::rowHeight(const ui::Row& row, const QFont& font) const {
    if (row.height > 0) return row.height;
    if (RowWidget::isNeededFor(row)) return RowWidget::naturalHeight(row, font);
    return labelsHeight(row, font);
}

int RowDelegate::labelsHeight(const ui::Row& row, const QFont& base) const {
    int tallest = QFontMetrics(base).height();
    int stackedHeight = 0;
    for (const ui::Label* label : labelsOf(row)) {
        const int height = QFontMetrics(labelFont(base, *label)).height();
        tallest = std::max(tallest, height);
        stackedHeight += height;
    }
    return (row.stacked ? std::max(stackedHeight, tallest) : tallest) + 2 * kPadding;
}

int RowDelegate::footerHeight(int section, const QFont& base) const {
    const QFont font = styledFont(base, ui::TextStyle::Subtitle);
    const int width = std::max(100, view_.viewport()->width() - 4 * kPadding);
    const QRect bounds = QFontMetrics(font).boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap,
                                                         qs(view_.screenModel().header(section).footer));
    return bounds.height() + 2 * kPadding;
}

void RowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const ScreenTableModel& model = view_.screenModel();
    painter->save();
    switch (model.kindOf(index)) {
        case ScreenTableModel::Kind::Section: paintSection(painter, option, model.pathOf(index).section); break;
        case ScreenTableModel::Kind::Footer: paintFooter(painter, option, model.pathOf(index).section); break;
        case ScreenTableModel::Kind::Row: paintRow(painter, option, index); break;
    }
    painter->restore();
}

void RowDelegate::paintSection(QPainter* painter, const QStyleOptionViewItem& option, int section) const {
    const std::string& title = view_.screenModel().header(section).title;
    if (option.rect.height() <= 0) return;
    painter->fillRect(option.rect, kSectionBand);
    if (title.empty()) return;
    painter->setFont(styledFont(option.font, ui::TextStyle::Bold));
    painter->setPen(QColor(70, 70, 70));
    const QRect text = option.rect.adjusted(2 * kPadding, 0, -2 * kPadding, 0);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                      painter->fontMetrics().elidedText(qs(title), Qt::ElideRight, text.width()));
}

void RowDelegate::paintFooter(QPainter* painter, const QStyleOptionViewItem& option, int section) const {
    painter->fillRect(option.rect, kSectionBand);
    painter->setFont(styledFont(option.font, ui::TextStyle::Subtitle));
    painter->setPen(kGrey);
    painter->drawText(option.rect.adjusted(2 * kPadding, kPadding, -2 * kPadding, -kPadding),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, qs(view_.screenModel().header(section).footer));
}

void RowDelegate::paintRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    ++paintedRows_;
    const auto row = view_.screenModel().row(view_.screenModel().pathOf(index));
    const bool selected = view_.isShownSelected(index, *row);
    const QPalette& palette = option.palette;
    painter->fillRect(option.rect, row->background ? qcolor(*row->background) : palette.base().color());
    if (selected) painter->fillRect(option.rect, palette.highlight());
    painter->setPen(kSeparator);
    painter->drawLine(option.rect.bottomLeft() + QPoint(kPadding, 0), option.rect.bottomRight());

    const RowGeometry geometry = RowGeometry::of(option.rect, *row, view_.screen().isEditing());
    if (!RowWidget::isNeededFor(*row)) {
        const QColor text = selected ? palette.highlightedText().color() : palette.text().color();
        const auto labels = labelsOf(*row);
        if (row->stacked) {
            int top = geometry.content.top() + kPadding;
            for (const ui::Label* label : labels) {
                const int height = QFontMetrics(labelFont(option.font, *label)).height();
                paintLabel(painter, QRect(geometry.content.left(), top, geometry.content.width(), height), *label,
                           option.font, text);
                top += height;
            }
        } else {
            // Parts are measured as if the row had no accessory nor delete button, so the columns
            // of rows of the same shape line up; what those take is cut from the last parts.
            ui::Row bare;
            const QRect full = RowGeometry::of(option.rect, bare, false).content;
            std::vector<int> asked;
            for (const ui::Label* label : labels) asked.push_back(label->share);
            auto parts = labelSlots(full, static_cast<int>(labels.size()), asked);
            for (size_t i = 0; i < labels.size(); ++i) {
                parts[i].setRight(std::min(parts[i].right(), geometry.content.right()));
                paintLabel(painter, parts[i], *labels[i], option.font, text);
            }
        }
    }
    if (!geometry.accessory.isEmpty()) paintAccessory(painter, geometry.accessory, row->accessory, option.font);
    if (!geometry.deleteButton.isEmpty()) {
        painter->setRenderHint(QPainter::Antialiasing);
        QPainterPath pill;
        pill.addRoundedRect(geometry.deleteButton, 5, 5);
        painter->fillPath(pill, kDeleteRed);
        painter->setPen(Qt::white);
        painter->setFont(styledFont(option.font, ui::TextStyle::Bold));
        painter->drawText(geometry.deleteButton, Qt::AlignCenter, QStringLiteral("Elimina"));
    }
}

void RowDelegate::paintLabel(QPainter* painter, const QRect& slot, const ui::Label& label, const QFont& base,
                             const QColor& text) const {
    if (label.hidden || slot.width() <= 0) return;
    if (label.background) painter->fillRect(slot, qcolor(*label.background));
    QFont font = labelFont(base, label);
    const QString content = qs(label.text);
    // Shrink towards the smallest size allowed before cutting the text short.
    if (label.minimumPointSize > 0) {
        while (QFontMetrics(font).horizontalAdvance(content) > slot.width() &&
               font.pointSizeF() - 0.5 >= label.minimumPointSize)
            font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    painter->setFont(font);
    painter->setPen(labelColor(label, text));
    painter->drawText(slot, static_cast<int>(qalign(label.alignment)),
                      painter->fontMetrics().elidedText(content, Qt::ElideRight, slot.width()));
}

void RowDelegate::paintAccessory(QPainter* painter, const QRect& rect, ui::Accessory accessory, const QFont& base) const {
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * 1.3);
    painter->setFont(font);
    // The detail button is drawn, not written: fonts seldom have the circled i.
    auto detail = [&](const QRect& area) {
        const int size = std::min({area.width(), area.height(), 18}) - 2;
        const QRect circle(area.center().x() - size / 2, area.center().y() - size / 2, size, size);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(kDetailBlue, 1.5));
        painter->drawEllipse(circle);
        QFont letter = base;
        letter.setBold(true);
        painter->setFont(letter);
        painter->drawText(circle, Qt::AlignCenter, QStringLiteral("i"));
        painter->setFont(font);
    };
    switch (accessory) {
        case ui::Accessory::None: break;
        case ui::Accessory::Disclosure:
            painter->setPen(kGrey);
            painter->drawText(rect, Qt::AlignCenter, QStringLiteral("›"));
            break;
        case ui::Accessory::Checkmark:
            painter->setPen(kDetailBlue);
            painter->drawText(rect, Qt::AlignCenter, QStringLiteral("✓"));
            break;
        case ui::Accessory::DetailButton: detail(rect); break;
        case ui::Accessory::DetailDisclosure: {
            const QRect button(rect.left(), rect.top(), rect.width() - 20, rect.height());
            detail(button);
            painter->setPen(kGrey);
            painter->drawText(QRect(button.right(), rect.top(), 20, rect.height()), Qt::AlignCenter, QStringLiteral("›"));
            break;
        }
    }
}

}  // namespace torvane::gui
