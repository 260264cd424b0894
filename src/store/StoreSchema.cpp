#include "store/StoreSchema.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "store/ClientSearchIndex.h"
#include "store/ModelDescription.h"
#include "store/StoreConnection.h"

namespace torvane {

namespace {

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

const char* columnType(AttributeType type) {
    switch (type) {
        case AttributeType::Integer:
        case AttributeType::Boolean: return "INTEGER";
        case AttributeType::Double: return "REAL";
        case AttributeType::Blob: return "BLOB";
        default: return "TEXT";  // strings, decimals as exact text, dates as ISO 8601 text
    }
}

// Every column of the entity's table after `id`: attributes, foreign keys, positions.
std::vector<std::pair<std::string, std::string>> columnsOf(const EntityDescription& entity) {
    const ModelDescription& model = ModelDescription::shared();
    std::vector<std::pair<std::string, std::string>> columns;
    for (const auto& a : entity.attributes) columns.emplace_back(a.name, columnType(a.type));
    for (const auto& r : entity.relationships) {
        if (r.kind != RelationshipKind::ToOne) continue;
        columns.emplace_back(r.name, "INTEGER REFERENCES " + quoted(r.target) + "(id) ON DELETE " +
                                         (r.cascade ? "CASCADE" : "SET NULL"));
        const EntityDescription* target = model.entity(r.target);
        const RelationshipDescription* inverse = target ? target->relationship(r.inverse) : nullptr;
        if (inverse && inverse->kind == RelationshipKind::Ordered)
            columns.emplace_back(ModelDescription::positionColumn(*inverse), "INTEGER");
    }
    return columns;
}

std::string indexName(const std::string& table, std::string columns) {
    for (char& c : columns)
        if (c == ',') c = '_';
    return quoted("idx_" + table + "_" + columns);
}

std::string quotedColumns(const std::string& columns) {
    std::string result;
    size_t start = 0;
    while (start <= columns.size()) {
        size_t end = columns.find(',', start);
        if (end == std::string::npos) end = columns.size();
        if (!result.empty()) result += ", ";
        result += quoted(columns.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

}  // namespace

int StoreSchema::fileVersion(StoreConnection& connection) {
    auto rows = connection.query("PRAGMA user_version");
    if (rows.empty() || rows[0].empty()) return 0;
    auto* version = std::get_if<long long>(&rows[0][0]);
    return version ? static_cast<int>(*version) : 0;
}

void StoreSchema::migrate(StoreConnection& connection) {
    // Steps that cannot be inferred (renames, conversions) go here, keyed by the version they
    // leave, before the inferred part adds what is new.
    for (const auto& entity : ModelDescription::shared().entities()) {
        createTable(connection, entity);
        addMissingColumns(connection, entity);
    }
    for (const auto& entity : ModelDescription::shared().entities()) {
        createJoinTables(connection, entity);
        createIndexes(connection, entity);
    }
    ClientSearchIndex::install(connection);
    if (fileVersion(connection) != ModelDescription::version)
        connection.executeScript("PRAGMA user_version = " + std::to_string(ModelDescription::version));
}

void StoreSchema::createTable(StoreConnection& connection, const EntityDescription& entity) {
    std::string sql = "CREATE TABLE IF NOT EXISTS " + quoted(entity.name) + " (id INTEGER PRIMARY KEY";
    for (const auto& [name, type] : columnsOf(entity)) sql += ", " + quoted(name) + " " + type;
    connection.executeScript(sql + ")");
}

void StoreSchema::addMissingColumns(StoreConnection& connection, const EntityDescription& entity) {
    std::set<std::string> present;
    for (const auto& row : connection.query("PRAGMA table_info(" + quoted(entity.name) + ")"))
        if (auto* name = std::get_if<std::string>(&row.at(1))) present.insert(*name);
    for (const auto& [name, type] : columnsOf(entity))
        if (!present.count(name))
            connection.executeScript("ALTER TABLE " + quoted(entity.name) + " ADD COLUMN " + quoted(name) + " " + type);
}

void StoreSchema::createJoinTables(StoreConnection& connection, const EntityDescription& entity) {
    for (const auto& r : entity.relationships) {
        if (r.kind != RelationshipKind::ManyToMany) continue;
        connection.executeScript("CREATE TABLE IF NOT EXISTS " + quoted(r.joinTable) + " (" + quoted(entity.name) +
                                 " INTEGER NOT NULL REFERENCES " + quoted(entity.name) + "(id) ON DELETE CASCADE, " +
                                 quoted(r.target) + " INTEGER NOT NULL REFERENCES " + quoted(r.target) +
                                 "(id) ON DELETE CASCADE, PRIMARY KEY(" + quoted(entity.name) + ", " +
                                 quoted(r.target) + "))");
        connection.executeScript("CREATE INDEX IF NOT EXISTS " + indexName(r.joinTable, entity.name) + " ON " +
                                 quoted(r.joinTable) + "(" + quoted(entity.name) + ")");
    }
}

void StoreSchema::createIndexes(StoreConnection& connection, const EntityDescription& entity) {
    std::vector<std::string> keys = entity.keys;
    // Foreign keys are walked by joins and by cascading deletions; a business key that starts
    // with the column already serves.
    for (const auto& r : entity.relationships) {
        if (r.kind != RelationshipKind::ToOne) continue;
        bool covered = false;
        for (const auto& key : entity.keys)
            if (key == r.name || key.rfind(r.name + ",", 0) == 0) covered = true;
        if (!covered) keys.push_back(r.name);
    }
    for (const auto& key : keys)
        connection.executeScript("CREATE INDEX IF NOT EXISTS " + indexName(entity.name, key) + " ON " +
                                 quoted(entity.name) + "(" + quotedColumns(key) + ")");
}

}  // namespace torvane
