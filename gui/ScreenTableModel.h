#pragma once

#include <QAbstractItemModel>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/ui/Screen.h"

namespace torvane::gui {

// A table screen as a Qt item model: sections are top-level items, their rows are children,
// and a section with a footer has one more, last child that shows it. Counts and titles are
// read at each reload; a row is read from the screen only when the view asks for it, and kept
// until the next reload so that one paint reads it once.
class ScreenTableModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum class Kind { Section, Row, Footer };

    explicit ScreenTableModel(ui::Screen& screen, QObject* parent = nullptr);

    // Reads the table afresh (a model reset).
    void reload();
    // These rows changed, their number did not: they are read again when next asked for. When
    // the screen's counts did change after all, the whole table is read again instead (a reset)
    // and the answer is false.
    bool forgetRows(const std::vector<ui::IndexPath>& rows);
    // Tells the views a row changed. Only for rows on screen: for any other the view measures
    // every row between it and the screen.
    void announceRowChanged(ui::IndexPath where);
    // The row as last read, if it is still kept.
    std::shared_ptr<const ui::Row> cachedRow(ui::IndexPath where) const;

    int sectionCount() const { return static_cast<int>(sections_.size()); }
    int rowCountIn(int section) const;
    const ui::SectionHeader& header(int section) const;
    // The row at a path, read through the cache; an empty row outside the table.
    std::shared_ptr<const ui::Row> row(ui::IndexPath where) const;

    Kind kindOf(const QModelIndex& index) const;
    // The section and row of a row or footer item (the footer's row is the section's count).
    ui::IndexPath pathOf(const QModelIndex& index) const;
    QModelIndex indexOf(ui::IndexPath where) const;
    QModelIndex sectionIndex(int section) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A row the person may select (reads the row).
    bool isSelectable(const QModelIndex& index) const;

private:
    struct SectionInfo {
        ui::SectionHeader header;
        int rows = 0;
    };
    void readCounts();

    ui::Screen& screen_;
    std::vector<SectionInfo> sections_;
    mutable std::unordered_map<long long, std::shared_ptr<const ui::Row>> rows_;
};

}  // namespace torvane::gui
