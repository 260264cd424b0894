#include "StoreAccess.h"

#include <iostream>

#include "platform/CompanyCode.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "store/Database.h"

namespace torvane::cli {

std::optional<std::string> takeCompany(CommandLine& line) {
    auto company = line.takeOption("--company");
    if (company && !CompanyCode::isPlain(*company)) {
        line.refuse("--company vuole un codice di lettere, cifre, \"-\" o \"_\" (al massimo " +
                    std::to_string(CompanyCode::maxLength) + " caratteri)");
        return std::nullopt;
    }
    return company;
}

std::shared_ptr<Database> openSharedStore(const std::optional<std::string>& company, StoreUse use) {
    Preferences& defaults = Preferences::standard();
    if (company) {
        defaults.setForThisRun(keys::pref_aziendaAttiva, *company);
    } else if (use == StoreUse::ReadOnly && !defaults.hasStoredValue(keys::pref_aziendaAttiva)) {
        defaults.setForThisRun(keys::pref_aziendaAttiva, std::string("999"));
    }
    Database::initDatabase();
    auto db = Database::sharedDatabase();
    if (!db) std::cerr << "Non accedo al Database !!!\n";
    return db;
}

}  // namespace torvane::cli
