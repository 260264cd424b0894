#include "clients/ApriDettaglioCliente.h"

#include "clients/DettaglioClienteViewController.h"
#include "platform/ui/Ui.h"

namespace torvane {

void apriDettaglioCliente(ui::Screen& from, const Cliente& cliente, std::shared_ptr<Database> store) {
    from.ui().push(from, std::make_shared<DettaglioClienteViewController>(from.ui(), cliente, std::move(store)));
}

}  // namespace torvane
