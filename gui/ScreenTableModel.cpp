#include "ScreenTableModel.h"

#include <QStringList>

#include "ItemStyle.h"

namespace torvane::gui {

namespace {

// Enough for a few screenfuls; past it the cache starts again rather than grow with scrolling.
constexpr size_t kCachedRows = 1024;

long long keyOf(ui::IndexPath where) { return (static_cast<long long>(where.section) << 32) | unsigned(where.row); }

// Section items carry no id; row and footer items carry their section + 1.
constexpr quintptr kSectionId = 0;

}  // namespace

// Empty until the first `reload`, which the widget makes as it draws the screen.
ScreenTableModel::ScreenTableModel(ui::Screen& screen, QObject* parent) : QAbstractItemModel(parent), screen_(screen) {}

void ScreenTableModel::readCounts() {
    screen_.discardCachedContent();
    rows_.clear();
    sections_.clear();
    const int count = std::max(0, screen_.numberOfSections());
    sections_.reserve(static_cast<size_t>(count));
    for (int s = 0; s < count; ++s)
        sections_.push_back({screen_.sectionHeader(s), std::max(0, screen_.numberOfRows(s))});
}

void ScreenTableModel::reload() {
    beginResetModel();
    readCounts();
    endResetModel();
}

bool ScreenTableModel::forgetRows(const std::vector<ui::IndexPath>& rows) {
    screen_.discardCachedContent();
    bool countsHeld = screen_.numberOfSections() == sectionCount();
    for (const ui::IndexPath& where : rows) {
        if (!countsHeld) break;
        if (where.section >= 0 && where.section < sectionCount())
            countsHeld = screen_.numberOfRows(where.section) == rowCountIn(where.section);
    }
    if (!countsHeld) {
        reload();
        return false;
    }
    for (const ui::IndexPath& where : rows) rows_.erase(keyOf(where));
    return true;
}

void ScreenTableModel::announceRowChanged(ui::IndexPath where) {
    const QModelIndex changed = indexOf(where);
    if (changed.isValid()) emit dataChanged(changed, changed);
}

std::shared_ptr<const ui::Row> ScreenTableModel::cachedRow(ui::IndexPath where) const {
    auto found = rows_.find(keyOf(where));
    return found == rows_.end() ? nullptr : found->second;
}

int ScreenTableModel::rowCountIn(int section) const {
    if (section < 0 || section >= sectionCount()) return 0;
    return sections_[static_cast<size_t>(section)].rows;
}

const ui::SectionHeader& ScreenTableModel::header(int section) const {
    static const ui::SectionHeader none;
    if (section < 0 || section >= sectionCount()) return none;
    return sections_[static_cast<size_t>(section)].header;
}

std::shared_ptr<const ui::Row> ScreenTableModel::row(ui::IndexPath where) const {
    const long long key = keyOf(where);
    if (auto found = rows_.find(key); found != rows_.end()) return found->second;
    if (where.row < 0 || where.row >= rowCountIn(where.section)) return std::make_shared<const ui::Row>();
    if (rows_.size() >= kCachedRows) rows_.clear();
    auto read = std::make_shared<const ui::Row>(screen_.rowAt(where.section, where.row));
    rows_.emplace(key, read);
    return read;
}

ScreenTableModel::Kind ScreenTableModel::kindOf(const QModelIndex& index) const {
    if (!index.isValid() || index.internalId() == kSectionId) return Kind::Section;
    const int section = static_cast<int>(index.internalId()) - 1;
    return index.row() < rowCountIn(section) ? Kind::Row : Kind::Footer;
}

ui::IndexPath ScreenTableModel::pathOf(const QModelIndex& index) const {
    if (!index.isValid()) return {-1, -1};
    if (index.internalId() == kSectionId) return {index.row(), -1};
    return {static_cast<int>(index.internalId()) - 1, index.row()};
}

QModelIndex ScreenTableModel::indexOf(ui::IndexPath where) const {
    if (where.section < 0 || where.section >= sectionCount() || where.row < 0 || where.row >= rowCountIn(where.section))
        return {};
    return createIndex(where.row, 0, static_cast<quintptr>(where.section) + 1);
}

QModelIndex ScreenTableModel::sectionIndex(int section) const {
    if (section < 0 || section >= sectionCount()) return {};
    return createIndex(section, 0, kSectionId);
}

QModelIndex ScreenTableModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || row >= rowCount(parent)) return {};
    if (!parent.isValid()) return createIndex(row, 0, kSectionId);
    return createIndex(row, 0, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex ScreenTableModel::parent(const QModelIndex& index) const {
    if (!index.isValid() || index.internalId() == kSectionId) return {};
    return createIndex(static_cast<int>(index.internalId()) - 1, 0, kSectionId);
}

int ScreenTableModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return sectionCount();
    if (parent.internalId() != kSectionId) return 0;
    const int section = parent.row();
    return rowCountIn(section) + (header(section).footer.empty() ? 0 : 1);
}

int ScreenTableModel::columnCount(const QModelIndex&) const { return 1; }

bool ScreenTableModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant ScreenTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    const ui::IndexPath where = pathOf(index);
    switch (kindOf(index)) {
        case Kind::Section: return qs(header(where.section).title);
        case Kind::Footer: return qs(header(where.section).footer);
        case Kind::Row: break;
    }
    // The row's visible labels, for accessibility and tests; the delegate draws from the row.
    QStringList texts;
    for (const ui::Item& item : row(where)->items)
        if (const auto* label = std::get_if<ui::Label>(&item); label && !label->hidden) texts << qs(label->text);
    return texts.join(QLatin1Char(' '));
}

Qt::ItemFlags ScreenTableModel::flags(const QModelIndex& index) const {
    // Answered without reading the row: the view asks for the flags of every item when it lays
    // them out. Whether a row may be selected is the row's own say (`isSelectable`).
    // Saying that rows never have children spares the view a lookup per row as it expands all.
    if (!index.isValid()) return Qt::NoItemFlags;
    switch (kindOf(index)) {
        case Kind::Section: return Qt::ItemIsEnabled;
        case Kind::Footer: return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
        case Kind::Row: break;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

bool ScreenTableModel::isSelectable(const QModelIndex& index) const {
    return kindOf(index) == Kind::Row && index.isValid() && row(pathOf(index))->selectable;
}

}  // namespace torvane::gui
