#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "loader/SectionLoader.h"
#include "platform/Decimal.h"
#include "store/Record.h"
#include "store/StoreConnection.h"

namespace torvane {

// The values a record element sets on its row, written with one UPDATE instead of one per
// attribute. A column set twice keeps the last value, as two children of the same name do.
// Internal to the section loader.
class SectionLoader::RowUpdate {
public:
    explicit RowUpdate(const Record& record) : record_(record) {}
    ~RowUpdate() = default;
    RowUpdate(const RowUpdate&) = delete;
    RowUpdate& operator=(const RowUpdate&) = delete;

    void set(const char* column, SqlValue value);
    void text(const char* column, std::optional<std::string> value) {
        set(column, value ? SqlValue(std::move(*value)) : SqlValue());
    }
    void decimal(const char* column, const std::optional<Decimal>& value) {
        set(column, value ? SqlValue(value->toString()) : SqlValue());
    }
    void boolean(const char* column, std::optional<bool> value) {
        set(column, value ? SqlValue(std::in_place_type<long long>, *value ? 1 : 0) : SqlValue());
    }
    void integer(const char* column, long long value) {
        set(column, SqlValue(std::in_place_type<long long>, value));
    }

    // Writes what is collected (the lookups that follow may read it back).
    void write();

private:
    const Record& record_;
    std::vector<std::pair<std::string, SqlValue>> columns_;
};

}  // namespace torvane
