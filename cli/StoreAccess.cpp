#include "StoreAccess.h"

#include <iostream>

#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "store/Database.h"

namespace torvane::cli {

std::shared_ptr<Database> openSharedStore(CommandLine& line) {
    if (auto company = line.takeOption("--company")) {
        if (company->empty()) {
            std::cerr << "--company vuoto\n";
            return nullptr;
        }
        Preferences::standard().setString(keys::pref_aziendaAttiva, *company);
    }
    Database::initDatabase();
    auto db = Database::sharedDatabase();
    if (!db) std::cerr << "Non accedo al Database !!!\n";
    return db;
}

}  // namespace torvane::cli
