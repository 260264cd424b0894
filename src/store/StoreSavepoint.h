#pragma once

#include <memory>
#include <string>

namespace torvane {

class Database;

// A nested unit of work inside the store's open transaction: what was written since it began
// can be undone alone, leaving earlier pending changes (the size grid's temporary rows, say) as
// they were. Undone when released without `keep`.
class StoreSavepoint {
public:
    StoreSavepoint(Database& database, std::string name);
    ~StoreSavepoint();
    StoreSavepoint(const StoreSavepoint&) = delete;
    StoreSavepoint& operator=(const StoreSavepoint&) = delete;

    // False when the savepoint could not be opened (then nothing can be undone).
    bool isOpen() const { return open_; }
    // Makes the unit part of the enclosing transaction.
    void keep();
    // The enclosing transaction was committed, and the unit with it.
    void committed() { open_ = false; }
    // Undoes everything written since the savepoint began.
    void undo();

private:
    void run(const std::string& statement);

    Database& database_;
    std::string name_;
    bool open_ = false;
};

}  // namespace torvane
