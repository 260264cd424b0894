#pragma once

// The shared frame of the store operations; included by the Database sources only.

#include <algorithm>
#include <type_traits>

#include "platform/Log.h"
#include "store/Database.h"
#include "store/ModelDescription.h"
#include "store/StoreConnection.h"

namespace torvane {

inline std::string quotedName(std::string_view name) { return "\"" + std::string(name) + "\""; }

template <typename Work>
auto Database::guarded(const Operation& operation, bool rollBackOnFailure, Work&& work) -> decltype(work()) {
    using Result = decltype(work());
    {
        auto lock = lockIfAsked();
        try {
            return work();
        } catch (const StoreFailure& failure) {
            Log::f(operation.logLine, failure.reason(), failure.details());
        } catch (const std::exception& failure) {
            Log::f(operation.logLine, operation.reason, failure.what());
        }
        if (rollBackOnFailure && doCommit_) {
            try {
                connection_->rollback();
            } catch (const std::exception&) {
            }
        }
    }
    if constexpr (!std::is_void_v<Result>) return Result{};
}

template <typename T>
std::optional<T> Database::fetchOne(const Operation& operation, const std::string& sql, std::vector<SqlValue> binds) {
    return guarded(operation, false, [&]() -> std::optional<T> {
        auto found = ids(operation.reason, sql + " LIMIT 1", binds);
        if (found.empty()) return std::nullopt;
        return T(connection_, found.front());
    });
}

template <typename T>
std::optional<std::vector<T>> Database::fetchMany(const Operation& operation, const std::string& sql,
                                                  std::vector<SqlValue> binds) {
    return guarded(operation, false, [&]() -> std::optional<std::vector<T>> {
        std::vector<T> records;
        for (long long id : ids(operation.reason, sql, binds)) records.emplace_back(connection_, id);
        return records;
    });
}

template <typename T>
std::optional<T> Database::create(const char* entityName, ColumnValues values, const Record* parent,
                                  const char* parentRelationship, ColumnValues more) {
    // Each record type has one entity, so its failure texts are made once (a load creates
    // hundreds of thousands of records).
    static const std::string logName = std::string_view(entityName) == "SceltaRiga" ? "Scelta" : entityName;
    static const std::string reason = "Errore durante la creazione di un oggetto " + logName;
    static const std::string logLine =
        "Database: eccezione durante la creazione di un oggetto " + logName + ": %@ (user info: %@)";
    Operation operation{reason.c_str(), logLine.c_str()};
    return guarded(operation, true, [&]() -> std::optional<T> {
        // One INSERT with the values and, for a plain or ordered link, the parent and its
        // position: a record is never seen half made, and a catalogue load writes far less.
        const EntityDescription* entity = T::description();
        // The statement's text is written straight into one buffer: a load makes it for every row.
        std::string sql;
        sql.reserve(160 + 32 * (values.size() + more.size()));
        sql += "INSERT INTO \"";
        sql += entityName;
        sql += "\" (";
        std::vector<SqlValue> binds;
        binds.reserve(values.size() + more.size() + 2);
        auto add = [&](std::string_view column, SqlValue value) {
            if (!binds.empty()) sql += ", ";
            sql += '"';
            sql += column;
            sql += '"';
            binds.push_back(std::move(value));
        };
        // A further value of a column the operation sets takes the place of its default.
        for (auto& [attribute, value] : more) {
            auto same = std::find_if(values.begin(), values.end(),
                                     [&](const auto& entry) { return std::string_view(entry.first) == attribute; });
            if (same != values.end())
                same->second = std::move(value);
            else
                values.emplace_back(attribute, std::move(value));
        }
        const RelationshipDescription* link = parent ? entity->relationship(parentRelationship) : nullptr;
        const EntityDescription* target = link ? ModelDescription::shared().entity(link->target) : nullptr;
        const RelationshipDescription* inverse = target ? target->relationship(link->inverse) : nullptr;
        bool linkInRow = link && link->kind == RelationshipKind::ToOne &&
                         !(inverse && inverse->kind == RelationshipKind::ToOneInverse);
        bool ordered = linkInRow && inverse && inverse->kind == RelationshipKind::Ordered;
        // A caller that knows the position (a new parent's children, made in order) gives it.
        const std::string positionColumn = ordered ? ModelDescription::positionColumn(*inverse) : std::string();
        bool positionGiven = false;
        for (auto& [attribute, value] : values) {
            bool isPosition = ordered && positionColumn == attribute;
            if (!isPosition && !entity->attribute(attribute)) throw std::invalid_argument("attributo sconosciuto");
            positionGiven = positionGiven || isPosition;
            add(attribute, std::move(value));
        }
        if (linkInRow) add(link->name, parent->id());
        auto marks = [&](std::size_t n) {
            for (std::size_t i = 0; i < n; ++i) sql += i ? ", ?" : "?";
        };
        if (ordered && !positionGiven) {
            // The position is the next one of the parent's list, found by the INSERT itself.
            const std::string position = quotedName(positionColumn);
            sql += ", " + position + ") VALUES (";
            marks(binds.size());
            sql += ", (SELECT COALESCE(MAX(" + position + "), 0) + 1 FROM " + quotedName(entityName) + " WHERE " +
                   quotedName(link->name) + " = ?))";
            binds.emplace_back(parent->id());
        } else if (binds.empty()) {
            sql = "INSERT INTO " + quotedName(entityName) + " DEFAULT VALUES";
        } else {
            sql += ") VALUES (";
            marks(binds.size());
            sql += ")";
        }
        connection_->execute(sql, binds);
        T record(connection_, connection_->lastInsertId());
        if (parent && !linkInRow) record.setToOneOrThrow(*link, *parent);
        return record;
    });
}

}  // namespace torvane
