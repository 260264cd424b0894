// Master data: the code tables and the clients with their agents, destinations and extra
// attributes.
#include <functional>
#include <mutex>

#include "loader/CaricatoreDatabase.h"
#include "loader/LoadCounters.h"
#include "loader/LoaderNumbers.h"
#include "loader/SectionLoader.h"
#include "loader/SectionRowValues.h"
#include "loader/xml/XmlCatalogueReader.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "store/Database.h"
#include "store/StoreConnection.h"

namespace torvane {

namespace {

enum class Conversion { Text, SiNo, Visibility };

struct TableChild {
    const char* child;
    const char* column;
    Conversion conversion = Conversion::Text;
};

struct CodeTable {
    const char* section;
    const char* record;
    const char* entity;
    const char* key;        // the key attribute
    const char* keyColumn;  // where the create operation stores it
    std::optional<Record> (*create)(Database&, const std::string&, ColumnValues);
    std::vector<TableChild> children;
    const char* flushFormat;
    std::vector<const char*> flushColumns;
};

// A code-table row made by its create operation, with the values its element set.
template <auto create>
std::optional<Record> made(Database& db, const std::string& key, ColumnValues values) {
    auto record = (db.*create)(key, std::move(values));
    if (!record) return std::nullopt;
    return Record(*record);
}

// Payment terms and delivery terms: a description and whether the agent may pick them.
const std::vector<TableChild> kDescriptionVisible = {{"Descrizione", "descrizione"},
                                                     {"Abilitazione", "visibilita", Conversion::Visibility}};

const std::vector<CodeTable>& codeTables() {
    static const std::vector<CodeTable> tables = {
        {"Mastri", "Mastro", "Mastro", "Codice", "codice",
         made<&Database::createMastroWithCodice>,
         {{"Descrizione", "descrizione"}}, "Sto caricando il Mastro %@", {"descrizione"}},
        {"Nazioni", "Nazione", "Nazione", "Codice", "codice",
         made<&Database::createNazioneWithCodice>,
         {{"Descrizione", "descrizione"}, {"Cee", "cee", Conversion::SiNo}}, "Sto caricando la Nazione %@",
         {"descrizione"}},
        {"Agenti", "Agente", "Agente", "Codice", "codice",
         made<&Database::createAgenteWithCodice>,
         {{"RagioneSociale", "ragioneSociale"}}, "Sto caricando l'Agente %@", {"ragioneSociale"}},
        {"Spedizionieri", "Spedizioniere", "Spedizioniere", "Codice", "codice",
         made<&Database::createSpedizioniereWithCodice>,
         {{"RagioneSociale", "ragioneSociale"}, {"Abilitazione", "visibilita", Conversion::Visibility}},
         "Sto caricando lo Spedizioniere %@", {"ragioneSociale"}},
        {"Pagamenti", "Pagamento", "Pagamento", "Codice", "codice",
         made<&Database::createPagamentoWithCodice>,
         kDescriptionVisible, "Sto caricando il Pagamento %@", {"descrizione"}},
        {"BusinessUnits", "BusinessUnit", "BusinessUnit", "Codice", "codice",
         made<&Database::createBusinessUnitWithCodice>,
         {{"Descrizione", "descrizione"}}, "Sto caricando la BusinessUnit %@", {"descrizione"}},
        {"SerieAlfanumeriche", "SerieAlfanumerica", "SerieAlfanumerica", "BarCode", "barCode",
         made<&Database::createSerieAlfanumericaWithBarCode>,
         {{"Serie", "serie"}}, "Sto caricando la SerieAlfanumerica %@", {"serie"}},
        {"ColoriAlfanumerici", "ColoreAlfanumerico", "ColoreAlfanumerico", "BarCode", "barCode",
         made<&Database::createColoreAlfanumericoWithBarCode>,
         {{"Colore", "colore"}}, "Sto caricando il ColoreAlfanumerico %@ = %@", {"barCode", "colore"}},
        {"Rese", "Resa", "Resa", "Codice", "codice",
         made<&Database::createResaWithCodice>,
         kDescriptionVisible, "Sto caricando la Resa %@", {"descrizione"}},
        {"Importanze", "Importanza", "Importanza", "Codice", "codice",
         made<&Database::createImportanzaWithCodice>,
         {{"Descrizione", "descrizione"}}, "Sto caricando la Importanze %@", {"descrizione"}},
    };
    return tables;
}

std::optional<bool> siNo(const std::string& text) {
    if (text == "SI") return true;
    if (text == "NO") return false;
    return std::nullopt;
}

std::optional<std::string> visibility(std::string text) {
    if (text.empty() || text == "SEMPRE") return std::nullopt;
    return text;
}

struct ClienteChild {
    const char* child;
    const char* column;
};

const std::vector<ClienteChild>& clienteTextChildren() {
    static const std::vector<ClienteChild> children = {
        {"Status", "status"},           {"RagioneSociale1", "ragioneSociale1"},
        {"RagioneSociale2", "ragioneSociale2"}, {"Indirizzo1", "indirizzo1"},
        {"Indirizzo2", "indirizzo2"},   {"Cap", "cap"},
        {"Citta", "citta"},             {"Provincia", "provincia"},
        {"NazioneIsoA3", "nazione"},    {"CodiceFiscale", "codiceFiscale"},
        {"PartitaIvaItalia", "partitaIva"}, {"PartitaIvaCeeNumero", "partitaIvaCee"},
        {"Lingua", "lingua"},           {"Email", "email"},
        {"Telefono", "telefono"},       {"Fax", "fax"},
        {"Area", "area"},               {"Divisa", "divisa"},
        {"Um", "um"},                   {"Spedizioniere", "spedizioniere"},
        {"AbbonamentoProd", "abbonamento"}, {"Pagamento", "pagamento"},
        {"Fido", "fido"},               {"Note", "note"},
        {"Listino", "listino"},         {"Importanza", "importanza"},
    };
    return children;
}

const std::vector<ClienteChild>& destinazioneTextChildren() {
    static const std::vector<ClienteChild> children = {
        {"RagioneSociale1", "ragioneSociale1"}, {"RagioneSociale2", "ragioneSociale2"},
        {"Indirizzo1", "indirizzo1"},           {"Indirizzo2", "indirizzo2"},
        {"Cap", "cap"},                         {"Citta", "citta"},
        {"Provincia", "provincia"},             {"Nazione", "nazione"},
        {"CodiceFiscale", "codiceFiscale"},     {"PartitaIva", "partitaIva"},
        {"Telefono", "telefono"},               {"Fax", "fax"},
        {"Email", "email"},
    };
    return children;
}

template <typename List>
const char* columnFor(const List& list, std::string_view child) {
    for (const auto& entry : list)
        if (child == entry.child) return entry.column;
    return nullptr;
}

}  // namespace

void SectionLoader::wipeMasterData() {
    masterDataWiped_ = true;
    Log::line("Sto cancellando i Clienti etc. ...");
    db_.deleteClientiEtcFromDatabase();
    commit();
}

void SectionLoader::loadCodeTable(const std::string& section, XmlSectionRecords& records) {
    const CodeTable* table = nullptr;
    for (const auto& t : codeTables())
        if (section == t.section) table = &t;
    if (!table) return;
    // Mastri, Nazioni and Agenti count apart; what is left of their count is dropped.
    bool ownCount = section == "Mastri" || section == "Nazioni" || section == "Agenti";
    int& counter = ownCount ? codeTables_ : elements_;
    bool wiped = false;
    eachRecord(records, table->record, [&](const XmlRecord& element) {
        if (!wiped) {
            wiped = true;
            db_.deleteGenericaTutteRows(table->entity);
            commit();
        }
        auto key = element.attribute(table->key);
        if (section == "Mastri") Log::f("Mastro Codice: %@", key);
        if (section == "ColoriAlfanumerici" && (!key || key->empty()))
            Log::f("BarCode del ColoreAlfanumerico rovinato : %@ ?!?!", key);
        count(counter);
        RowValues row;
        std::map<std::string, std::optional<std::string>> shown;
        shown[table->keyColumn] = key;
        if (!key) row.text(table->keyColumn, std::nullopt);
        int children = 0;
        for (const XmlRecord& child : element.children()) {
            ++children;
            for (const auto& c : table->children) {
                if (child.name() != c.child) continue;
                std::string text = child.text();
                if (c.conversion == Conversion::SiNo) {
                    row.boolean(c.column, siNo(text));
                } else if (c.conversion == Conversion::Visibility) {
                    shown[c.column] = visibility(text);
                    row.text(c.column, shown[c.column]);
                } else {
                    shown[c.column] = text;
                    row.text(c.column, text);
                }
                break;
            }
        }
        if (!table->create(db_, key.value_or(""), row.take())) return;
        count(counter, children);
        if (counter > 1000) {
            std::string message = table->flushColumns.size() == 2
                                      ? format(table->flushFormat, shown[table->flushColumns[0]],
                                               shown[table->flushColumns[1]])
                                      : format(table->flushFormat, shown[table->flushColumns[0]]);
            flushIfDue(counter, message);
        }
    });
    commit();
    if (section == "Agenti") codeTables_ = 0;
}

bool SectionLoader::agentFilterAccepts(const XmlRecord& element) const {
    if (!agente_ || agente_->size() < 5) return true;
    XmlRecord agenti = element.firstChild("Agenti");
    if (agenti.isNull()) return false;
    for (const XmlRecord& entry : agenti.children()) {
        auto codice = entry.attribute("Codice");
        if (codice && agente_->find(*codice) != std::string::npos) return true;
    }
    return false;
}

void SectionLoader::loadClienti(XmlSectionRecords& records) {
    agente_ = Preferences::standard().stringForKey(keys::pref_agente);
    Log::line("Sto caricando   i Clienti etc. ...");
    eachRecord(records, "ClienteFornitore", [this](const XmlRecord& element) { loadCliente(element); });
    commit();
}

void SectionLoader::loadCliente(const XmlRecord& element) {
    if (!agentFilterAccepts(element)) {
        count(elements_, 41);
        return;
    }
    auto barCode = element.attribute("BarCode");
    count(elements_);
    PendingRow<Cliente> cliente(elements_, [&](ColumnValues values) {
        return db_.createClienteWithBarCode(barCode.value_or(""), std::move(values));
    });
    if (!barCode) cliente.values().text("barCode", std::nullopt);
    std::optional<std::string> codice;
    std::optional<std::string> ragioneSociale1;
    for (const XmlRecord& child : element.children()) {
        count(elements_);
        std::string_view name = child.name();
        if (name == "Codice") {
            codice = child.text();
            // A code shorter than two characters is its own ledger.
            cliente.values().text("codice", codice);
            cliente.values().text("mastro", LoaderNumbers::firstCharacters(*codice, 2));
        } else if (name == "Agenti" || name == "Destinazioni") {
            if (!cliente.made()) break;
            if (name == "Agenti") {
                loadClienteAgenti(child, *cliente.made());
                continue;
            }
            for (const XmlRecord& destination : child.children()) {
                count(elements_);
                loadDestinazione(destination, *cliente.made(), codice.value_or(""));
            }
        } else if (const char* column = columnFor(clienteTextChildren(), name)) {
            std::string text = child.text();
            if (name == "RagioneSociale1") ragioneSociale1 = text;
            cliente.values().text(column, std::move(text));
        }
    }
    if (!cliente.finish()) return;
    ++counters_.clienti;
    flushIfDue(elements_, format("Sto caricando il cliente %@ %@", codice, ragioneSociale1));
}

void SectionLoader::loadClienteAgenti(const XmlRecord& agenti, const Cliente& cliente) {
    for (const XmlRecord& entry : agenti.children()) {
        count(elements_);
        auto codice = entry.attribute("Codice");
        if (!codice) continue;
        std::string area = entry.attribute("Area").value_or("");
        std::string businessUnit = entry.attribute("BusinessUnit").value_or("");
        // The wipe emptied the competences, so every one of them is made here.
        std::string key = *codice + '\x1f' + area + '\x1f' + businessUnit;
        auto known = cache_.competences.find(key);
        std::optional<AgenteCompetenza> competenza;
        if (known != cache_.competences.end()) {
            competenza = known->second;
        } else {
            competenza = db_.fetchAgenteCompetenzaByAgente(*codice, area, businessUnit);
            if (!competenza) competenza = db_.createAgenteCompetenzaWithAgente(*codice, area, businessUnit);
            if (competenza) cache_.competences.emplace(key, *competenza);
        }
        if (competenza) cliente.addTo("agenti", *competenza);
    }
}

void SectionLoader::loadDestinazione(const XmlRecord& element, const Cliente& cliente,
                                     const std::string& codiceCliente) {
    auto codice = element.attribute("Codice");
    if (!codice) return;
    PendingRow<Destinazione> destinazione(elements_, [&](ColumnValues values) {
        return db_.createDestinazioneWithCodice(*codice, cliente, std::move(values));
    });
    std::optional<ClienteInfo> info;
    auto clienteInfo = [&]() -> std::optional<ClienteInfo>& {
        if (info || !destinazione.made()) return info;
        std::string key = format("%@-%@", codiceCliente, *codice);
        info = db_.fetchClienteInfoByCodice(key);
        if (!info) {
            info = db_.createClienteInfoWithCodice(key);
            if (info) destinazione.made()->setDestinazioneInfo(info);
        }
        return info;
    };
    for (const XmlRecord& child : element.children()) {
        count(elements_);
        std::string_view name = child.name();
        if (const char* column = columnFor(destinazioneTextChildren(), name)) {
            destinazione.values().text(column, child.text());
        } else if (name == "Abituale") {
            destinazione.values().boolean("abituale", siNo(child.text()));
        } else if (name == "AttributiAggiuntivi") {
            auto& target = clienteInfo();
            for (const XmlRecord& attributo : child.children()) {
                count(elements_);
                if (attributo.name() != "Attributo") continue;
                auto kind = attributo.attribute("Codice");
                if (!kind || !target) continue;
                long long number = LoaderNumbers::leadingInteger(kind->size() > 4 ? kind->substr(4) : "");
                std::string field = format("attribute%d", number);
                std::string value = attributo.text();
                Log::f("            Attr.%@", *kind);
                Log::f("                 (Numero=%d DatabaseFieldName=%@)", number, field);
                Log::f("            Val. %@", value);
                // A number no attribute answers to is one bad entry, not a bad document.
                if (number < 1 || number > 30) {
                    Log::f("Attributo %@ ignorato: numero fuori da 1-30", *kind);
                    continue;
                }
                target->setStringValue(field, value);
            }
        } else if (name == "BusinessUnit") {
            auto unit = db_.fetchBusinessUnitByCodice(child.text());
            auto& target = clienteInfo();
            if (unit && target) target->addTo("businessUnits", *unit);
        }
    }
    destinazione.finish();
}

}  // namespace torvane
