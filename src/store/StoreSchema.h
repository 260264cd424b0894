#pragma once

namespace torvane {

class StoreConnection;
struct EntityDescription;

// Brings a store file to the current model: creates what is missing (tables, columns, join
// tables, indexes) and records the model version, so a file written by an earlier version
// is migrated in place. Runs inside the connection's open transaction; raises on failure.
class StoreSchema {
public:
    static void migrate(StoreConnection& connection);
    static int fileVersion(StoreConnection& connection);

private:
    static void createTable(StoreConnection& connection, const EntityDescription& entity);
    static void addMissingColumns(StoreConnection& connection, const EntityDescription& entity);
    static void createJoinTables(StoreConnection& connection, const EntityDescription& entity);
    static void createIndexes(StoreConnection& connection, const EntityDescription& entity);
};

}  // namespace torvane
