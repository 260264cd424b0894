#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/ui/ScreenModel.h"
#include "store/Entities.h"

namespace torvane {

class Database;

// The summary rows of an article sold by size on the order-entry screen: a header row with
// the first eight sizes, then one row per colour root with its quantities. The cell has a
// label and eight columns, `label1` … `label8`; sizes beyond the eighth have no column.
class TaglieCell {
public:
    static constexpr const char* kind = "TaglieCell";
    static constexpr std::size_t colonne = 8;

    // The sizes of the article's group, in the group's order; empty without a group.
    static std::vector<TagliaDettaglio> taglieArticolo(Database& database, const Articolo& articolo);

    // Row 0: "Taglie" and the size codes; "Tot." in the last column when fewer than eight.
    static ui::Row rigaIntestazione(const std::vector<std::string>& codiciTaglie);
    static ui::Row rigaIntestazione(const std::vector<TagliaDettaglio>& taglie);

    // Row k ≥ 1: the colour root's code and its quantities, in size order. The last column
    // holds the eighth size when the group has eight or more, else the root's total.
    static ui::Row rigaRadice(const std::string& codiceRadice, const std::vector<long long>& quantita,
                              std::size_t numeroTaglie);
    static ui::Row rigaRadice(const ColoreSxBarra& radice, std::size_t numeroTaglie);

    // The header and one row per colour root of the article, as the colour section shows them.
    static std::vector<ui::Row> righe(Database& database, const Articolo& articolo);

    // The sum of every size quantity of every colour root.
    static long long sommaQuantita(const std::vector<ColoreSxBarra>& radici);
    // The "Q.tà taglie" value: that sum as "%d", empty when 0.
    static std::string totaleTaglie(const std::vector<ColoreSxBarra>& radici);

    // The quantities of a root's size rows, in order (an unreadable quantity counts 0).
    static std::vector<long long> quantitaRadice(const ColoreSxBarra& radice);
};

}  // namespace torvane
