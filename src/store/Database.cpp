#include "store/Database.h"

#include "platform/CompanyCode.h"
#include "platform/Paths.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "store/DatabaseOperations.h"
#include "store/StoreSchema.h"

namespace torvane {

namespace {
void logOpenFailure(const std::string& reason, const std::string& details) {
    Log::f("Database: errore durante la creazione del Persistent Store Coordinator: %@ (user info: %@)", reason,
           details);
}
}  // namespace

std::mutex Database::sharedMutex_;
std::shared_ptr<Database> Database::shared_;

Database::Database(std::shared_ptr<StoreConnection> connection, std::string company, std::string path)
    : connection_(std::move(connection)), currentAzienda_(std::move(company)), filePath_(std::move(path)) {}

// Releasing the store discards what was not committed; handles still held read as absent.
Database::~Database() {
    if (connection_) connection_->close();
}

std::string Database::storePath(const CompanyCode& company) {
    return Paths::ensure(Paths::documents()) + "/" + company.storeFileName();
}

std::shared_ptr<Database> Database::openFile(const std::string& path, const std::string& company) {
    try {
        auto connection = std::make_shared<StoreConnection>(path);
        StoreSchema::migrate(*connection);
        connection->commit();
        return std::shared_ptr<Database>(new Database(std::move(connection), company, path));
    } catch (const std::exception& failure) {
        logOpenFailure("Impossibile aprire il database " + path, failure.what());
        return nullptr;
    }
}

std::shared_ptr<Database> Database::init() {
    Preferences& defaults = Preferences::standard();
    auto company = defaults.stringForKey(keys::pref_aziendaAttiva);
    if (!defaults.hasStoredValue(keys::pref_aziendaAttiva) || !company) {
        company = "999";
        defaults.setString(keys::pref_aziendaAttiva, *company);
        defaults.synchronize();
    }
    const auto code = CompanyCode::checked(*company, "pref_aziendaAttiva");
    if (!code) {
        logOpenFailure("Codice azienda non valido", *company);
        return nullptr;
    }
    return openFile(storePath(*code), code->text());
}

void Database::initDatabase() {
    auto company = Preferences::standard().stringForKey(keys::pref_aziendaAttiva);
    std::lock_guard lock(sharedMutex_);
    if (shared_ && company && shared_->currentAzienda() == *company) return;
    shared_.reset();
    shared_ = init();
}

void Database::releaseDatabase() {
    std::lock_guard lock(sharedMutex_);
    shared_.reset();
}

std::shared_ptr<Database> Database::sharedDatabase() {
    std::lock_guard lock(sharedMutex_);
    return shared_;
}

std::unique_lock<std::recursive_mutex> Database::lockIfAsked() {
    if (!doLock_) return {};
    return std::unique_lock(connection_->mutex());
}

void Database::commit() {
    auto lock = lockIfAsked();
    try {
        connection_->commit();
    } catch (const std::exception& failure) {
        Log::f("Errore durante il salvataggio delle modifiche sul database: %@", failure.what());
        throw StoreFailure("Errore durante il salvataggio delle modifiche sul database", failure.what());
    }
}

void Database::rollback() {
    auto lock = lockIfAsked();
    try {
        connection_->rollback();
    } catch (const std::exception& failure) {
        Log::f("Database: errore durante il rollback: %@", failure.what());
    }
}

std::vector<long long> Database::ids(const char* reason, const std::string& sql, const std::vector<SqlValue>& binds) {
    try {
        return connection_->queryIds(sql, binds);
    } catch (const StoreConnection::SqlError& failure) {
        throw StoreFailure(reason, failure.what());
    }
}

}  // namespace torvane
