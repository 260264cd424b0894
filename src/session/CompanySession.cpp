#include "session/CompanySession.h"

#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "store/Database.h"

namespace torvane {

CompanySession::CompanySession(CompanyCode code, std::shared_ptr<Database> store)
    : code_(std::move(code)), store_(std::move(store)) {}

std::shared_ptr<CompanySession> CompanySession::open(const CompanyCode& code) {
    auto store = Database::openFile(Database::storePath(code), code.text());
    if (!store) return nullptr;
    auto session = std::make_shared<CompanySession>(code, std::move(store));
    session->forgetPhotos();
    return session;
}

std::shared_ptr<CompanySession> CompanySession::openActive() {
    auto session = over(Database::init());
    if (session) session->forgetPhotos();
    return session;
}

std::shared_ptr<CompanySession> CompanySession::over(std::shared_ptr<Database> store) {
    if (!store) return nullptr;
    const auto code = CompanyCode::from(store->currentAzienda());
    if (!code) return nullptr;
    return std::make_shared<CompanySession>(*code, std::move(store));
}

Preferences& CompanySession::preferences() const { return Preferences::standard(); }

void CompanySession::forgetPhotos() const { FotoCache::shared().ricomincia(); }

}  // namespace torvane
