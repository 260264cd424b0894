#include "clients/NuovoCodiceCliente.h"

#include <cstdlib>

#include "platform/Format.h"
#include "store/Database.h"

namespace torvane {

std::optional<Cliente> nuovoClienteConCodice(Database& database, const char* formato) {
    auto contatore = database.fetchParametroByAttributo("SYSTEM_ProgressivoCliente");
    if (!contatore) {
        contatore = database.createParametroWithAttributo("SYSTEM_ProgressivoCliente");
        if (contatore) contatore->setValore(std::string("0"));
    }
    if (!contatore) return std::nullopt;
    const long long numero = std::atoll(contatore->valore().value_or("0").c_str()) + 1;
    contatore->setValore(format("%d", numero));
    const std::string codice = format(formato, numero);
    auto cliente = database.fetchClienteByCodice(codice);
    if (!cliente) cliente = database.createClienteWithBarCode(codice);
    if (!cliente) {
        database.rollback();
        return std::nullopt;
    }
    cliente->setCodice(codice);
    return cliente;
}

}  // namespace torvane
