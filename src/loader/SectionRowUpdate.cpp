#include "loader/SectionRowUpdate.h"

namespace torvane {

void SectionLoader::RowUpdate::set(const char* column, SqlValue value) {
    for (auto& entry : columns_)
        if (entry.first == column) {
            entry.second = std::move(value);
            return;
        }
    columns_.emplace_back(column, std::move(value));
}

void SectionLoader::RowUpdate::write() {
    if (columns_.empty()) return;
    std::string sql = "UPDATE \"" + record_.entityName() + "\" SET ";
    std::vector<SqlValue> binds;
    binds.reserve(columns_.size() + 1);
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        sql += (i ? ", \"" : "\"") + columns_[i].first + "\" = ?";
        binds.push_back(std::move(columns_[i].second));
    }
    sql += " WHERE id = ?";
    binds.emplace_back(record_.id());
    record_.connection()->execute(sql, binds);
    columns_.clear();
}

}  // namespace torvane
