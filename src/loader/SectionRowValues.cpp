#include "loader/SectionRowValues.h"

#include <cstring>

#include "store/StoreConnection.h"

namespace torvane {

void SectionLoader::RowValues::set(const char* column, SqlValue value) {
    for (auto& entry : columns_)
        if (std::strcmp(entry.first, column) == 0) {
            entry.second = std::move(value);
            return;
        }
    columns_.emplace_back(column, std::move(value));
}

void SectionLoader::RowValues::update(const Record& record) {
    if (columns_.empty()) return;
    std::string sql = "UPDATE \"" + record.entityName() + "\" SET ";
    std::vector<SqlValue> binds;
    binds.reserve(columns_.size() + 1);
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        sql += (i ? ", \"" : "\"") + std::string(columns_[i].first) + "\" = ?";
        binds.push_back(std::move(columns_[i].second));
    }
    sql += " WHERE id = ?";
    binds.emplace_back(record.id());
    record.connection()->execute(sql, binds);
    columns_.clear();
}

}  // namespace torvane
