#pragma once

#include <memory>

#include "store/Entities.h"

namespace torvane {

class CompanySession;
namespace ui {
class Screen;
}

// Pushes the client detail of `cliente` over `from`, for screens that only need to open it.
// `session`: the company the screen works for; without one it shows nothing of a store.
void apriDettaglioCliente(ui::Screen& from, const Cliente& cliente, std::shared_ptr<CompanySession> session = nullptr);

}  // namespace torvane
