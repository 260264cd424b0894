#pragma once

#include <optional>
#include <string>

#include "store/Entities.h"

namespace torvane {

class Database;

// A client made on the device: the counter "SYSTEM_ProgressivoCliente" (made at "0" when
// missing) moves on by one and names the client ("NEW%04d" from the client list, "NEW%03d"
// from the short form); the client with that code is found, or made with it as barcode.
// Nothing is committed: the caller's confirmation commits the client and the counter together.
// None when the store refuses (what was pending is then rolled back).
std::optional<Cliente> nuovoClienteConCodice(Database& database, const char* formato);

}  // namespace torvane
