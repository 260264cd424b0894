#include "clients/ApriDettaglioCliente.h"

#include "clients/DettaglioClienteViewController.h"
#include "platform/ui/Ui.h"

namespace torvane {

void apriDettaglioCliente(ui::Screen& from, const Cliente& cliente, std::shared_ptr<CompanySession> session) {
    from.ui().push(from, std::make_shared<DettaglioClienteViewController>(from.ui(), cliente, std::move(session)));
}

}  // namespace torvane
