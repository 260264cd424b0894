// `store`: opens (creating when needed) the store of the company and prints one line per
// entity with its record count, so an agent's file can be checked without the application.
#include <iostream>

#include "CommandRegistry.h"
#include "StoreAccess.h"
#include "store/Database.h"
#include "store/ModelDescription.h"
#include "store/StoreConnection.h"

namespace torvane::cli {
namespace {

constexpr const char* kUsage = "  store [--company AZIENDA]    conta i record di ogni entità\n";

int runStore(CommandLine& line) {
    auto company = takeCompany(line);
    // Checked before the store is opened, so a mistyped command creates no store.
    if (auto problem = line.leftOver()) return CommandLine::usageError("store: " + *problem, kUsage);
    auto db = openSharedStore(company, StoreUse::ReadOnly);
    if (!db) return 1;
    std::cout << "Database " << db->currentAzienda() << ": " << db->filePath() << '\n';
    try {
        for (const auto& entity : ModelDescription::shared().entities()) {
            auto rows = db->connection()->query("SELECT COUNT(*) FROM \"" + entity.name + "\"");
            std::cout << entity.name << ' ' << std::get<long long>(rows.at(0).at(0)) << '\n';
        }
        db->commit();  // a store created just now is kept, with its schema
    } catch (const std::exception& failure) {
        std::cerr << "Non accedo al Database !!! " << failure.what() << '\n';
        return 1;
    }
    return 0;
}

const CommandRegistration registration("store", kUsage, runStore);

}  // namespace
}  // namespace torvane::cli
