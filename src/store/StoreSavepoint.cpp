#include "store/StoreSavepoint.h"

#include <exception>

#include "platform/Log.h"
#include "store/Database.h"
#include "store/StoreConnection.h"

namespace torvane {

StoreSavepoint::StoreSavepoint(Database& database, std::string name) : database_(database), name_(std::move(name)) {
    try {
        database_.connection()->execute("SAVEPOINT \"" + name_ + "\"");
        open_ = true;
    } catch (const std::exception& failure) {
        Log::f("Database: eccezione durante l'apertura del savepoint %@: %@", name_, failure.what());
    }
}

StoreSavepoint::~StoreSavepoint() { undo(); }

void StoreSavepoint::keep() {
    if (!open_) return;
    run("RELEASE \"" + name_ + "\"");
    open_ = false;
}

void StoreSavepoint::undo() {
    if (!open_) return;
    run("ROLLBACK TO \"" + name_ + "\"");
    run("RELEASE \"" + name_ + "\"");
    open_ = false;
}

void StoreSavepoint::run(const std::string& statement) {
    try {
        database_.connection()->execute(statement);
    } catch (const std::exception& failure) {
        Log::f("Database: eccezione durante il savepoint %@: %@", name_, failure.what());
    }
}

}  // namespace torvane
