#include "store/StoreConnection.h"

#include <sqlite3.h>

#include <optional>
#include <vector>

#include "platform/FileModes.h"
#include "platform/Log.h"
#include "platform/TextCase.h"

namespace torvane {

namespace {

std::string_view textArgument(sqlite3_value* value) {
    const unsigned char* text = sqlite3_value_text(value);
    if (!text) return {};
    return {reinterpret_cast<const char*>(text), static_cast<size_t>(sqlite3_value_bytes(value))};
}

// The second argument (the searched text) is folded once per statement, not once per row.
const std::string* foldedNeedle(sqlite3_context* context, sqlite3_value* value, bool ignoreAccents) {
    if (auto* cached = static_cast<std::string*>(sqlite3_get_auxdata(context, 1))) return cached;
    sqlite3_set_auxdata(context, 1, new std::string(TextCase::fold(textArgument(value), ignoreAccents)),
                        [](void* p) { delete static_cast<std::string*>(p); });
    return static_cast<std::string*>(sqlite3_get_auxdata(context, 1));  // none if SQLite dropped it
}

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// `needle` is folded already (lower case); ASCII folds to lower case and has no accents.
bool asciiMatch(std::string_view text, std::string_view needle, bool prefix) {
    if (needle.size() > text.size()) return false;
    const std::size_t last = prefix ? 0 : text.size() - needle.size();
    for (std::size_t start = 0; start <= last; ++start) {
        std::size_t i = 0;
        while (i < needle.size() && lowerAscii(text[start + i]) == needle[i]) ++i;
        if (i == needle.size()) return true;
    }
    return false;
}

// A NULL text or a NULL searched text never matches, as in a predicate on an absent value.
template <bool IgnoreAccents, bool Prefix>
void foldedMatch(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    std::string ownNeedle;
    const std::string* needle = foldedNeedle(context, argv[1], IgnoreAccents);
    if (!needle) {  // auxdata refused (out of memory): fold locally
        ownNeedle = TextCase::fold(textArgument(argv[1]), IgnoreAccents);
        needle = &ownNeedle;
    }
    if (needle->empty()) {  // an empty text is found nowhere
        sqlite3_result_int(context, 0);
        return;
    }
    const std::string_view text = textArgument(argv[0]);
    // Plain ASCII (most names) is compared in place, one row after the other without a copy:
    // a search keystroke over tens of thousands of clients runs this once per client.
    if (isAscii(text) && isAscii(*needle)) {
        sqlite3_result_int(context, asciiMatch(text, *needle, Prefix) ? 1 : 0);
        return;
    }
    std::string haystack = TextCase::fold(text, IgnoreAccents);
    bool match = Prefix ? haystack.compare(0, needle->size(), *needle) == 0 && haystack.size() >= needle->size()
                        : haystack.find(*needle) != std::string::npos;
    sqlite3_result_int(context, match ? 1 : 0);
}

// A client's searched fields, folded (case and accents) and joined one per line.
void searchText(sqlite3_context* context, int argc, sqlite3_value** argv) {
    std::string text;
    for (int i = 0; i < argc; ++i) {
        if (i) text += '\n';
        if (sqlite3_value_type(argv[i]) != SQLITE_NULL) text += TextCase::fold(textArgument(argv[i]), true);
    }
    sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// The words of a searched text, folded as the searched fields are.
std::vector<std::string> foldedWords(std::string_view text) {
    const std::string folded = TextCase::fold(text, true);
    std::vector<std::string> words;
    for (std::size_t i = 0; i < folded.size();) {
        while (i < folded.size() && isBlank(folded[i])) ++i;
        std::size_t end = i;
        while (end < folded.size() && !isBlank(folded[end])) ++end;
        if (end > i) words.emplace_back(folded, i, end - i);
        i = end;
    }
    return words;
}

// True when every word of the second argument occurs somewhere in the first (a folded search
// text); a text without words, or an absent one, matches nothing.
void everyWord(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    using Words = std::vector<std::string>;
    std::optional<Words> own;
    auto* words = static_cast<Words*>(sqlite3_get_auxdata(context, 1));
    if (!words) {
        sqlite3_set_auxdata(context, 1, new Words(foldedWords(textArgument(argv[1]))),
                            [](void* p) { delete static_cast<Words*>(p); });
        words = static_cast<Words*>(sqlite3_get_auxdata(context, 1));
        if (!words) words = &own.emplace(foldedWords(textArgument(argv[1])));  // auxdata refused
    }
    const std::string_view text = textArgument(argv[0]);
    bool all = !words->empty();
    for (const std::string& word : *words)
        if (text.find(word) == std::string_view::npos) {
            all = false;
            break;
        }
    sqlite3_result_int(context, all ? 1 : 0);
}

}  // namespace

// SQLite's message, with the cause a person can act on first: another program holding the
// store, or a full disk.
static std::string describeFailure(sqlite3* db, const char* message) {
    const std::string text = message ? message : (db ? sqlite3_errmsg(db) : "store closed");
    const int code = db ? (sqlite3_extended_errcode(db) & 0xff) : SQLITE_OK;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) return std::string(StoreConnection::kStoreInUse) + " (" + text + ")";
    if (code == SQLITE_FULL) return "disco pieno (" + text + ")";
    return text;
}

void StoreConnection::addFunctions(sqlite3* db) {
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "torvane_contains_cd", 2, flags, nullptr, &foldedMatch<true, false>, nullptr, nullptr);
    sqlite3_create_function(db, "torvane_begins_c", 2, flags, nullptr, &foldedMatch<false, true>, nullptr, nullptr);
    sqlite3_create_function(db, "torvane_search_text", 4, flags, nullptr, &searchText, nullptr, nullptr);
    sqlite3_create_function(db, "torvane_every_word", 2, flags, nullptr, &everyWord, nullptr, nullptr);
}

StoreConnection::StoreConnection(const std::string& path) : path_(path) {
    // SQLite gives its journal files the store file's mode: a private store keeps them private.
    if (!path.empty() && path[0] != ':') FileModes::privateFile(path);
    int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqlError(message);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    addFunctions(db_);
    try {
        // Committed orders must survive a power cut: write-ahead log synced on every commit.
        // A 16 MB page cache keeps the client and article name indexes of a large catalogue in
        // memory, so each search keystroke reads them from memory rather than from the file.
        executeScript("PRAGMA foreign_keys = ON; PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; "
                      "PRAGMA cache_size = -16384;");
        executeScript("BEGIN");
    } catch (...) {
        close();
        throw;
    }
}

StoreConnection::~StoreConnection() { close(); }

void StoreConnection::fail(std::string_view what) {
    const int code = db_ ? (sqlite3_extended_errcode(db_) & 0xff) : SQLITE_OK;
    const std::string message = std::string(what) + ": " + describeFailure(db_, nullptr);
    // Some failures (a full disk, an I/O error) make SQLite roll the whole transaction back;
    // others of the same kind undo only the statement (one that fails inside a trigger). Either
    // way the unit of work is no longer whole, and the next commit must not pretend it was
    // saved: it fails with this cause. After a whole rollback the connection opens a new one.
    const bool storageFailed = code == SQLITE_FULL || code == SQLITE_IOERR || code == SQLITE_NOMEM;
    if (db_ && (storageFailed || sqlite3_get_autocommit(db_))) {
        if (!lostTransaction_) lostTransaction_ = message;
        if (sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
    }
    throw SqlError(message);
}

sqlite3_stmt* StoreConnection::prepare(std::string_view sql) {
    if (!db_) throw SqlError("store closed");
    auto found = statements_.find(sql);
    if (found != statements_.end()) return found->second;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &statement,
                           nullptr) != SQLITE_OK)
        fail(sql);
    statements_.emplace(std::string(sql), statement);
    return statement;
}

// The values stay alive and unchanged until the statement has run (every caller steps it before
// returning), so SQLite reads them in place instead of copying each one.
void StoreConnection::bind(sqlite3_stmt* statement, const std::vector<SqlValue>& binds) {
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    for (size_t i = 0; i < binds.size(); ++i) {
        int index = static_cast<int>(i + 1);
        int rc = SQLITE_OK;
        const SqlValue& value = binds[i];
        if (auto* n = std::get_if<long long>(&value)) rc = sqlite3_bind_int64(statement, index, *n);
        else if (auto* d = std::get_if<double>(&value)) rc = sqlite3_bind_double(statement, index, *d);
        else if (auto* s = std::get_if<std::string>(&value))
            rc = sqlite3_bind_text(statement, index, s->data(), static_cast<int>(s->size()), SQLITE_STATIC);
        else if (auto* b = std::get_if<SqlBlob>(&value))
            rc = sqlite3_bind_blob(statement, index, b->bytes.data(), static_cast<int>(b->bytes.size()),
                                   SQLITE_STATIC);
        else rc = sqlite3_bind_null(statement, index);
        if (rc != SQLITE_OK) fail("bind");
    }
}

std::vector<SqlRow> StoreConnection::query(std::string_view sql, const std::vector<SqlValue>& binds) {
    std::lock_guard lock(mutex_);
    sqlite3_stmt* statement = prepare(sql);
    bind(statement, binds);
    std::vector<SqlRow> rows;
    int columns = sqlite3_column_count(statement);
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        SqlRow& row = rows.emplace_back();
        row.reserve(static_cast<size_t>(columns));
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(statement, c)) {
                case SQLITE_INTEGER: row.emplace_back(static_cast<long long>(sqlite3_column_int64(statement, c))); break;
                case SQLITE_FLOAT: row.emplace_back(sqlite3_column_double(statement, c)); break;
                case SQLITE_TEXT:
                    row.emplace_back(std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, c)),
                                                 static_cast<size_t>(sqlite3_column_bytes(statement, c))));
                    break;
                case SQLITE_BLOB: {
                    const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(statement, c));
                    SqlBlob blob;
                    blob.bytes.assign(bytes, bytes + sqlite3_column_bytes(statement, c));
                    row.emplace_back(std::move(blob));
                    break;
                }
                default: row.emplace_back(std::monostate{});
            }
        }
    }
    sqlite3_reset(statement);
    if (rc != SQLITE_DONE) fail(sql);
    return rows;
}

std::vector<long long> StoreConnection::queryIds(std::string_view sql, const std::vector<SqlValue>& binds) {
    std::lock_guard lock(mutex_);
    sqlite3_stmt* statement = prepare(sql);
    bind(statement, binds);
    std::vector<long long> ids;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) ids.push_back(sqlite3_column_int64(statement, 0));
    sqlite3_reset(statement);
    if (rc != SQLITE_DONE) fail(sql);
    return ids;
}

int StoreConnection::execute(std::string_view sql, const std::vector<SqlValue>& binds) {
    std::lock_guard lock(mutex_);
    sqlite3_stmt* statement = prepare(sql);
    bind(statement, binds);
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    }
    sqlite3_reset(statement);
    if (rc != SQLITE_DONE) fail(sql);
    return sqlite3_changes(db_);
}

void StoreConnection::executeScript(const std::string& sql) {
    std::lock_guard lock(mutex_);
    if (!db_) throw SqlError("store closed");
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = describeFailure(db_, message);
        sqlite3_free(message);
        throw SqlError(text);
    }
}

void StoreConnection::begin() {
    if (!holdWriteLock_) {
        executeScript("BEGIN");
        return;
    }
    try {
        executeScript("BEGIN IMMEDIATE");
    } catch (...) {
        // Never left outside a transaction: a plain one, then the failure.
        if (db_ && sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
        throw;
    }
}

void StoreConnection::beginWriting() {
    std::lock_guard lock(mutex_);
    commit();
    const bool held = holdWriteLock_;
    holdWriteLock_ = true;
    try {
        executeScript("COMMIT");
        begin();
    } catch (...) {
        holdWriteLock_ = held;
        throw;
    }
    holdWriteLock_ = held;
}

void StoreConnection::checkpointAndTruncate() {
    std::lock_guard lock(mutex_);
    if (!db_) return;
    // Another program's reader or writer makes the checkpoint give up at once rather than wait.
    sqlite3_busy_timeout(db_, 0);
    try {
        commit();
        executeScript("COMMIT");
        executeScript("PRAGMA wal_checkpoint(TRUNCATE)");
    } catch (const std::exception& failure) {
        Log::f("Database: checkpoint non riuscito: %@", failure.what());
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    if (db_ && sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
}

void StoreConnection::setBulkLoading(bool bulk) {
    std::lock_guard lock(mutex_);
    commit();
    // The pragmas take effect only outside a transaction: the empty one the commit opened is
    // closed first.
    try {
        executeScript(bulk ? "COMMIT; PRAGMA synchronous = NORMAL; PRAGMA wal_autocheckpoint = 16384; "
                             "PRAGMA cache_size = -65536;"
                           : "COMMIT; PRAGMA synchronous = FULL; PRAGMA wal_autocheckpoint = 1000; "
                             "PRAGMA cache_size = -16384;");
    } catch (...) {
        if (db_ && sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
        throw;
    }
    // While loading, every batch keeps the write lock from its start: another program's write in
    // between would otherwise make the next batch fail at once instead of waiting its turn.
    holdWriteLock_ = bulk;
    begin();
}

long long StoreConnection::lastInsertId() const { return db_ ? sqlite3_last_insert_rowid(db_) : 0; }

void StoreConnection::commit() {
    std::lock_guard lock(mutex_);
    // Finished statements hold no locks, but a statement left mid-way would block the commit.
    for (auto& [sql, statement] : statements_) sqlite3_reset(statement);
    if (lostTransaction_) {
        // What came after the loss is only part of the work: it goes too.
        const std::string cause = *lostTransaction_;
        lostTransaction_.reset();
        if (db_ && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        begin();
        throw SqlError("modifiche annullate dal database: " + cause);
    }
    try {
        executeScript("COMMIT");
    } catch (...) {
        // A failed commit may end the transaction; never leave the connection outside one.
        if (db_ && sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
        throw;
    }
    begin();
}

void StoreConnection::rollback() {
    std::lock_guard lock(mutex_);
    for (auto& [sql, statement] : statements_) sqlite3_reset(statement);
    lostTransaction_.reset();
    if (db_ && !sqlite3_get_autocommit(db_)) executeScript("ROLLBACK");
    begin();
}

void StoreConnection::finalizeStatements() {
    for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
    statements_.clear();
}

void StoreConnection::close() {
    std::lock_guard lock(mutex_);
    if (!db_) return;
    finalizeStatements();
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

}  // namespace torvane
