#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "loader/SectionLoader.h"
#include "platform/Decimal.h"
#include "store/Record.h"
#include "store/SqlValue.h"

namespace torvane {

// The values a record element sets on its row, collected so that the row is written with one
// statement: the INSERT that makes it, or one UPDATE of a row already there. A column set
// twice keeps the last value, as two children of the same name do. Internal to the section
// loader.
class SectionLoader::RowValues {
public:
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

    // Hands what is collected to the INSERT that makes the row.
    ColumnValues take() { return std::exchange(columns_, {}); }
    // Writes what is collected onto a row already there.
    void update(const Record& record);

private:
    ColumnValues columns_;
};

// A row that other rows link to (an article's colours, a client's destinations): it is made,
// with what its element has set so far, when the first of them needs it, or at the end of the
// element; whatever the element sets after that is written with one UPDATE at the end. A row
// the store refuses takes its children with it: the element count goes back to what it was
// when the row's element began, as if they were never read.
template <typename T>
class SectionLoader::PendingRow {
public:
    using Make = std::function<std::optional<T>(ColumnValues)>;
    PendingRow(int& counter, Make make) : make_(std::move(make)), counter_(counter), counted_(counter) {}

    RowValues& values() { return values_; }
    // The row, made now if it is not yet; none when the store refused it.
    const std::optional<T>& made() {
        if (!tried_) {
            tried_ = true;
            record_ = make_(values_.take());
        }
        return record_;
    }
    // At the end of the element: makes the row, or writes what was set since it was made.
    const std::optional<T>& finish() {
        if (!tried_)
            made();
        else if (record_)
            values_.update(*record_);
        if (!record_) counter_ = counted_;
        return record_;
    }

private:
    Make make_;
    int& counter_;
    int counted_;
    RowValues values_;
    std::optional<T> record_;
    bool tried_ = false;
};

}  // namespace torvane
