#pragma once

#include <memory>

#include "store/Entities.h"

namespace torvane {

class CompanySession;
class Database;
namespace ui {
class Screen;
}

// Pushes the client detail of `cliente` over `from`, for screens that only need to open it.
// `store` is for tools and tests; by default the shared store of the active company.
void apriDettaglioCliente(ui::Screen& from, const Cliente& cliente, std::shared_ptr<CompanySession> session = nullptr);

}  // namespace torvane
