#include "store/OrderStoreUnit.h"

#include <exception>

#include "store/Database.h"
#include "store/StoreConnection.h"

namespace torvane {

OrderStoreUnit::OrderStoreUnit(Database& database, const std::string& name)
    : database_(database), lock_(database.connection()->mutex()), pause_(database), savepoint_(database, name) {}

bool OrderStoreUnit::commit() {
    if (!savepoint_.isOpen()) return false;
    try {
        database_.commit();
        savepoint_.committed();
        return true;
    } catch (const std::exception&) {
        savepoint_.undo();
        return false;
    }
}

}  // namespace torvane
