#pragma once

#include <memory>
#include <mutex>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/SqlValue.h"

struct sqlite3;
struct sqlite3_stmt;

namespace torvane {

// One SQLite connection, always inside a transaction: what is not committed is pending,
// visible to every later query on this connection and gone after a rollback or a close.
// Every call takes the one (recursive) lock, so the loader thread and the main thread never
// interleave. Query errors are raised as SqlError.
class StoreConnection {
public:
    struct SqlError : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    // Opens (creating if needed) the file; raises SqlError when it cannot.
    explicit StoreConnection(const std::string& path);
    ~StoreConnection();
    StoreConnection(const StoreConnection&) = delete;
    StoreConnection& operator=(const StoreConnection&) = delete;

    // The store's own SQL functions (folded matching, the client search text), which its
    // triggers call: anything else that writes the file needs them too.
    static void addFunctions(sqlite3* db);

    std::recursive_mutex& mutex() { return mutex_; }
    bool isOpen() const { return db_ != nullptr; }
    const std::string& path() const { return path_; }

    // Runs one statement (cached), returning every row.
    std::vector<SqlRow> query(std::string_view sql, const std::vector<SqlValue>& binds = {});
    // The first column of every row as ids.
    std::vector<long long> queryIds(std::string_view sql, const std::vector<SqlValue>& binds = {});
    // Runs a statement for its effect; returns the number of changed rows.
    int execute(std::string_view sql, const std::vector<SqlValue>& binds = {});
    // Runs several statements without binds (schema work).
    void executeScript(const std::string& sql);
    long long lastInsertId() const;

    // Bulk loading: commits stop waiting for the disk, the log is folded into the file less
    // often and more pages stay cached. In WAL mode a power cut may then lose the latest
    // commits but never corrupts the file; the first commit after the mode is left waits for
    // the disk and so makes everything before it durable. SQLite changes these settings only
    // between transactions: what is pending is committed first.
    void setBulkLoading(bool bulk);

    // Takes the store's write lock now (what is pending is committed first), waiting for another
    // program's writer as long as the busy time-out allows. A long write, such as a catalogue
    // load, then never finds half-way that another program wrote since it began reading; when
    // the wait runs out the error says the store is in use.
    void beginWriting();
    static constexpr const char* kStoreInUse = "database in uso da un altro programma";
    // How long a write waits for another program's writer.
    static constexpr int kBusyTimeoutMs = 5000;
    // Folds the write-ahead log into the file and empties it, so the space it took comes back
    // (after a load that filled the disk). What is pending is committed first; failures are
    // only logged.
    void checkpointAndTruncate();

    void commit();    // COMMIT, then a new transaction
    void rollback();  // ROLLBACK, then a new transaction
    // Rolls back what is pending and closes; later calls raise SqlError.
    void close();

private:
    sqlite3_stmt* prepare(std::string_view sql);
    void bind(sqlite3_stmt* statement, const std::vector<SqlValue>& binds);
    [[noreturn]] void fail(std::string_view what);
    // A new transaction: one that holds the write lock from the start while bulk loading.
    void begin();
    bool holdWriteLock_ = false;
    // Why SQLite rolled the open transaction back by itself, until the next commit or rollback.
    std::optional<std::string> lostTransaction_;
    void finalizeStatements();

    std::string path_;
    sqlite3* db_ = nullptr;
    std::recursive_mutex mutex_;
    // Found by the SQL text without copying it (every statement of a load looks one up).
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    std::unordered_map<std::string, sqlite3_stmt*, TextHash, std::equal_to<>> statements_;
};

}  // namespace torvane
