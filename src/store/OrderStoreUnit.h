#pragma once

#include <mutex>
#include <string>

#include "store/AutoCommitPause.h"
#include "store/StoreSavepoint.h"

namespace torvane {

class Database;

// Order-entry writes that end in one commit. The store's lock is held throughout, so the
// catalogue loader, which commits from its own thread after every batch, can never commit
// half of them; and what they wrote is undone alone, without touching earlier pending
// changes, unless `commit` succeeds.
class OrderStoreUnit {
public:
    OrderStoreUnit(Database& database, const std::string& name);

    // False when the unit could not be opened: nothing may be written then.
    bool isOpen() const { return savepoint_.isOpen(); }
    // Commits the store; false, with the unit undone, when the commit fails (the store logs it).
    bool commit();

private:
    Database& database_;
    std::lock_guard<std::recursive_mutex> lock_;
    AutoCommitPause pause_;
    StoreSavepoint savepoint_;
};

}  // namespace torvane
