#include "session/CompanySession.h"

#include "store/Database.h"

namespace torvane {

CompanySession::CompanySession(CompanyCode code, std::shared_ptr<Database> store)
    : code_(std::move(code)), store_(std::move(store)) {}

std::shared_ptr<CompanySession> CompanySession::over(std::shared_ptr<Database> store) {
    if (!store) return nullptr;
    const auto code = CompanyCode::from(store->currentAzienda());
    if (!code) return nullptr;
    return std::make_shared<CompanySession>(*code, std::move(store));
}

void CompanySession::forgetPhotos() const { FotoCache::shared().ricomincia(); }

}  // namespace torvane
