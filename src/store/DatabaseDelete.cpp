#include "store/DatabaseOperations.h"

namespace torvane {

const std::vector<std::string>& Database::wholeCatalogueGroup() {
    static const std::vector<std::string> group = {
        "Prezzo", "ArticoloListino", "Listino", "Maggiorazione", "VarianteCommerciale", "GruppoCommerciale",
        "Giacenza", "Colore", "Articolo", "SerieAlfanumerica", "ColoreAlfanumerico", "TempSceltaTaglia",
        "ColoreSxBarra", "TagliaDizionario", "TagliaGruppo", "TagliaDettaglio", "Mastro", "Spedizioniere",
        "Nazione", "BusinessUnit", "Pagamento", "Resa", "Importanza", "Agente", "Contatto", "AgenteCompetenza",
        "ClienteInfo", "Destinazione", "Cliente", "Parametro"};
    return group;
}

void Database::deleteAll(const char* reason, const std::string& entity, const std::string& where) {
    if (!ModelDescription::shared().entity(entity)) throw StoreFailure(reason, "entità sconosciuta: " + entity);
    try {
        connection_->execute("DELETE FROM " + quotedName(entity) + (where.empty() ? "" : " WHERE " + where));
    } catch (const StoreConnection::SqlError& failure) {
        throw StoreFailure(reason, failure.what());
    }
}

// Each entity is emptied under its own lock; a failure stops that entity only.
void Database::deleteGroup(const Operation& operation, const std::vector<std::string>& entities, bool formatReason,
                           bool announce) {
    for (const auto& entity : entities) {
        std::string reason = formatReason ? format(operation.reason, entity) : operation.reason;
        if (announce) Log::f("Pulizia tabella : %@", entity);
        // Orders outlive the catalogue: the clients made on the device ("NEW…") that they may
        // name, and the two counters that number orders and new clients, are kept.
        std::string where;
        if (entity == "Cliente") where = "codice IS NULL OR instr(codice, 'NEW') = 0";
        if (entity == "Parametro")
            where = "attributo IS NULL OR attributo NOT IN ('SYSTEM_ProgressivoOrdine', 'SYSTEM_ProgressivoCliente')";
        guarded({reason.c_str(), operation.logLine}, true, [&] { deleteAll(reason.c_str(), entity, where); });
    }
}

void Database::deleteDatabase() {
    deleteGroup({"Errore durante cancellazione del database",
                 "Database: eccezione durante la cancellazione di tutti gli oggetti: %@ (user info: %@)"},
                wholeCatalogueGroup(), false);
}

void Database::deleteAllScelta() {
    deleteGroup({"Errore durante fetch di delete Scelte",
                 "Database: eccezione durante la cancellazione di tutte le Scelte: %@ (user info: %@)"},
                {"SceltaTaglia", "SceltaRiga", "SceltaTestata"}, false);
}

void Database::deleteArticoliColoriGiacenzeFromDatabase() {
    deleteGroup({"Errore durante delete di delete Articoli-Colori-Giacenze",
                 "Database: eccezione durante la cancellazione di tutte gli oggetti Articoli e correlati: %@ (user "
                 "info: %@)"},
                {"Giacenza", "Colore", "TempSceltaTaglia", "ColoreSxBarra", "Articolo"}, false, true);
}

void Database::deleteListiniPrezziFromDatabase() {
    deleteGroup({"Errore durante fetch di delete Listino-Prezzi",
                 "Database: eccezione durante la cancellazione di tutte gli oggetti Listino-Prezzi: %@ (user info: %@)"},
                {"VarianteCommerciale", "GruppoCommerciale", "Maggiorazione", "Prezzo", "ArticoloListino", "Listino"},
                false);
}

void Database::deleteClientiEtcFromDatabase() {
    deleteGroup({"Errore durante Fetch %@ (x Delete etc.)",
                 "Database: eccezione durante la cancellazione di tutte gli oggetti Clienti e correlati: %@ (user "
                 "info: %@)"},
                {"Importanza", "Mastro", "Spedizioniere", "Nazione", "BusinessUnit", "Pagamento", "AgenteCompetenza",
                 "ClienteInfo", "Destinazione", "Cliente"},
                true);
}

void Database::deleteEsposizioneFromDatabase() {
    deleteGroup({"Errore durante Fetch %@ (x Delete etc.)",
                 "Database: eccezione durante la cancellazione di tutte gli oggetti Esposizione e correlati: %@ (user "
                 "info: %@)"},
                {"EsposizioneRiga", "Esposizione", "EsposizioneCliente"}, false);
}

void Database::deleteGenericaTutteRows(const std::string& entityName) {
    const char* reason = "Errore durante fetch di delete generica";
    auto lock = lockIfAsked();
    try {
        deleteAll(reason, entityName);
        return;
    } catch (const StoreFailure& failure) {
        Log::f("Database: eccezione durante la cancellazione di tutte gli oggetti %@: %@ (user info: %@)", entityName,
               failure.reason(), failure.details());
    }
    if (doCommit_) rollback();
}

namespace {

// An order goes with its lines and their sizes, sizes first.
void deleteOrder(StoreConnection& connection, long long header) {
    connection.execute(
        "DELETE FROM \"SceltaTaglia\" WHERE sceltaRiga IN (SELECT id FROM \"SceltaRiga\" WHERE sceltaTestata = ?)",
        {header});
    connection.execute("DELETE FROM \"SceltaRiga\" WHERE sceltaTestata = ?", {header});
    connection.execute("DELETE FROM \"SceltaTestata\" WHERE id = ?", {header});
}

}  // namespace

void Database::deleteAllSceltaOpened() {
    Operation operation{"Errore durante fetch degli oggetti SceltaTestata",
                        "Database: eccezione durante Cancellazione degli oggetti SceltaTestata opened: %@ (user info: "
                        "%@)"};
    guarded(operation, false, [&] {
        for (long long header : ids(operation.reason, "SELECT id FROM \"SceltaTestata\" WHERE dataTrasmissione IS NULL"))
            deleteOrder(*connection_, header);
        if (doCommit_) connection_->commit();
    });
}

void Database::deleteSceltaByTestata(const SceltaTestata& testata) {
    guarded({"Errore durante Cancellazione di un oggetto SceltaTestata",
             "Database: eccezione durante Cancellazione di un oggetto SceltaTestata : %@ (user info: %@)"},
            false, [&] {
                deleteOrder(*connection_, testata.id());
                if (doCommit_) connection_->commit();
            });
}

void Database::deleteSceltaWithSceltaRiga(const SceltaRiga& riga) {
    guarded({"Errore durante la cancellazione di un oggetto SceltaRiga",
             "Database: eccezione durante la cancellazione di un oggetto SceltaRiga: %@ (user info: %@)"},
            true, [&] {
                connection_->execute("DELETE FROM \"SceltaTaglia\" WHERE sceltaRiga = ?", {riga.id()});
                riga.deleteOrThrow();
            });
}

void Database::deleteGenericaSingolaRow(const Record& record) {
    auto lock = lockIfAsked();
    try {
        record.deleteOrThrow();
        return;
    } catch (const std::exception& failure) {
        Log::f("Database: eccezione: %@ durante la cancellazione di N. 1 oggetto generico: %@ (user info: %@)",
               "Errore durante la cancellazione di un oggetto generico", record.entityName(), failure.what());
    }
    if (doCommit_) rollback();
}

void Database::deleteStatClienteAndChildren(const StatCliente& cliente) {
    guarded({"Errore durante Cancellazione di un oggetto StatCliente",
             "Database: eccezione durante Cancellazione di un oggetto StatCliente (e figli ...) : %@ (user info: %@)"},
            false, [&] {
                // Depth first: types, businesses, articles, collections, then periods and the record.
                const std::string collections = "SELECT id FROM \"StatCollezione\" WHERE cliente = ?";
                const std::string articles = "SELECT id FROM \"StatArticolo\" WHERE collezione IN (" + collections + ")";
                const std::string businesses =
                    "SELECT id FROM \"StatBusiness\" WHERE statArticolo IN (" + articles + ")";
                connection_->execute("DELETE FROM \"StatTipo\" WHERE business IN (" + businesses + ")", {cliente.id()});
                connection_->execute("DELETE FROM \"StatBusiness\" WHERE id IN (" + businesses + ")", {cliente.id()});
                connection_->execute("DELETE FROM \"StatArticolo\" WHERE id IN (" + articles + ")", {cliente.id()});
                connection_->execute("DELETE FROM \"StatCollezione\" WHERE cliente = ?", {cliente.id()});
                connection_->execute("DELETE FROM \"StatPeriodo\" WHERE cliente = ?", {cliente.id()});
                connection_->execute("DELETE FROM \"StatCliente\" WHERE id = ?", {cliente.id()});
                if (doCommit_) connection_->commit();
            });
}

}  // namespace torvane
