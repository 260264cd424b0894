#include "clients/AnagraficaCliente.h"

#include <algorithm>

#include "screens/GenericTableViewController.h"
#include "screens/PartitaIva.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/TextCase.h"
#include "platform/ui/TabbedScreen.h"
#include "platform/ui/Ui.h"
#include "store/Database.h"
#include "store/StoreFailure.h"

namespace torvane {

namespace {

constexpr const char* kGenerale = "Generale";
constexpr const char* kCommerciale = "Commerc.";
constexpr const char* kDestinazione = "Dest.";
constexpr const char* kContatti = "Contatti";

bool empty(const std::optional<std::string>& text) { return !text || text->empty(); }

GenericField single(const Record& record, const std::string& attributo, const std::string& titolo, int max = 0) {
    GenericField field = GenericField::initTypeSingleInputWithManagedObj(record, attributo);
    field.setTitolo(titolo);
    if (max > 0) field.setMaxCharLen(max);
    return field;
}

GenericField multi(const Record& record, std::vector<std::string> attributi, const std::string& titolo, int max) {
    GenericField field = GenericField::initTypeMultiInputWithManagedObj(record, std::move(attributi));
    field.setTitolo(titolo);
    field.setMaxCharLen(max);
    return field;
}

GenericField choice(const Record& record, const std::string& attributo, const std::string& titolo,
                    std::vector<std::string> values) {
    GenericField field = GenericField::initTypeValueChoiceWithManagedObj(record, attributo, std::move(values));
    field.setTitolo(titolo);
    return field;
}

std::string entry(const std::string& codice, const std::string& descrizione) {
    return format("[%@] %@", codice, descrizione);
}

// A list entry with no description shows its code twice: the record's description is set to it.
template <typename Record, typename Get, typename Set>
std::string describedEntry(const Record& record, Get get, Set set) {
    const std::string codice = record.codice().value_or("");
    std::string descrizione = (record.*get)().value_or("");
    if (descrizione.empty()) {
        (record.*set)(codice);
        descrizione = codice;
    }
    return entry(codice, descrizione);
}

// Payments, delivery terms and carriers each say for which clients they are offered.
bool visibleFor(const std::optional<std::string>& visibilita, const std::string& tipo) {
    if (empty(visibilita)) return true;
    const bool italiano = tipo.rfind("ITA", 0) == 0;
    return *visibilita == (italiano ? "ITALIA" : "ESTERO");
}

// The countries, sorted by description: "[code] description", or the code alone.
std::vector<std::string> nazioni(Database& database, const std::optional<std::string>& tipoCliente) {
    auto all = database.fetchAllNazione().value_or(std::vector<Nazione>{});
    std::stable_sort(all.begin(), all.end(), [](const Nazione& a, const Nazione& b) {
        return TextCase::lessInLocale(a.descrizione().value_or(""), b.descrizione().value_or(""));
    });
    std::vector<std::string> values;
    for (const Nazione& nazione : all) {
        if (tipoCliente) {
            const auto cee = nazione.cee();
            if (cee && *cee != (*tipoCliente == "CEE")) continue;
        }
        const std::string descrizione = nazione.descrizione().value_or("");
        values.push_back(descrizione.empty() ? nazione.codice().value_or("") : entry(nazione.codice().value_or(""), descrizione));
    }
    return values;
}

// A value still empty takes the only entry of its list.
void onlyEntry(const Cliente& cliente, const std::string& attributo, const std::vector<std::string>& values) {
    if (values.size() == 1 && empty(cliente.stringValue(attributo))) cliente.setStringValue(attributo, values.front());
}

std::vector<std::string> distinct(const std::optional<Database::DistinctValues>& rows, const std::string& key,
                                  const std::string& fallback) {
    std::vector<std::string> values;
    // A price list without area or currency gives an empty value: no entry, so that the only
    // real one is preset and a store without any falls back.
    for (const auto& row : rows.value_or(Database::DistinctValues{}))
        if (auto found = row.find(key); found != row.end() && !found->second.empty()) values.push_back(found->second);
    if (values.empty()) values.push_back(fallback);
    return values;
}

bool parameterSaysYes(Database& database, const std::string& attributo) {
    auto parametro = database.fetchParametroByAttributo(attributo);
    if (!parametro) return false;
    const std::string valore = parametro->valore().value_or("");
    return !valore.empty() && valore[0] == 'S';
}

}  // namespace

AnagraficaCliente::AnagraficaCliente(ui::Ui& ui, Store store, std::function<void()> closed)
    : ui_(ui), store_(std::move(store)), closed_(std::move(closed)) {}

AnagraficaCliente::~AnagraficaCliente() = default;

void AnagraficaCliente::gestisciAnagrafica(ui::Screen& from, const Cliente& cliente) {
    auto database = store_ ? store_() : nullptr;
    if (!database) return;
    const std::string codice = cliente.codice().value_or("");
    // A record that cannot be made takes back what is pending (a client made just before too)
    // and the agent is told, rather than a tap that does nothing.
    auto refused = [&](const char* entity) {
        Log::line("Anagrafica: non riesco a preparare destinazione e dati aggiuntivi");
        database->rollback();
        ui_.showAlert(ui::Alert::simple("Errore", format("Errore durante la creazione di un oggetto %s", entity), "Continua"));
    };
    auto destinazione = database->fetchDestinazioneByCodice("1", cliente);
    if (!destinazione) destinazione = database->createDestinazioneWithCodice("1", cliente);
    if (!destinazione) return refused("Destinazione");
    if (!destinazione->destinazioneInfo())
        if (auto info = database->createClienteInfoWithCodice(format("%@-%@", codice, "1")))
            destinazione->setDestinazioneInfo(info);
    auto clienteInfo = database->fetchClienteInfoByCodice(codice);
    if (!clienteInfo) clienteInfo = database->createClienteInfoWithCodice(codice);
    if (!destinazione->destinazioneInfo() || !clienteInfo) return refused("ClienteInfo");
    clienteCorrente_ = cliente;
    destinazioneCorrente_ = destinazione;
    clienteInfoCorrente_ = clienteInfo;

    // Lines of a multi-line field are text fields: an absent value is shown as an empty one.
    for (const char* attributo : {"ragioneSociale1", "ragioneSociale2", "ragioneSociale3", "indirizzo1", "indirizzo2",
                                  "contatto1Cognome", "contatto1Nome", "contatto1Annotazioni", "contatto2Cognome",
                                  "contatto2Nome", "contatto2Annotazioni"})
        if (!cliente.stringValue(attributo)) cliente.setStringValue(attributo, std::string());
    for (const char* attributo : {"ragioneSociale1", "ragioneSociale2", "ragioneSociale3", "indirizzo1", "indirizzo2"})
        if (!destinazione->stringValue(attributo)) destinazione->setStringValue(attributo, std::string());

    std::vector<std::pair<const char*, std::vector<GenericField>>> forms;
    forms.emplace_back(kGenerale, generale(*database));
    forms.emplace_back(kCommerciale, commerciale(*database));
    forms.emplace_back(kDestinazione, this->destinazione(*database));
    forms.emplace_back(kContatti, contatti());
    std::vector<std::shared_ptr<ui::Screen>> tabs;
    for (auto& [name, fields] : forms)
        tabs.push_back(std::make_shared<GenericTableViewController>(ui_, name, std::move(fields), this));
    screen_ = std::make_shared<ui::TabbedScreen>(ui_, std::move(tabs));
    ui_.presentModal(from, screen_);
}

std::vector<GenericField> AnagraficaCliente::generale(Database& database) const {
    const Cliente& c = *clienteCorrente_;
    std::vector<GenericField> fields = {
        multi(c, {"ragioneSociale1", "ragioneSociale2", "ragioneSociale3"}, "Ragione Sociale", 30),
        multi(c, {"indirizzo1", "indirizzo2"}, "Indirizzo", 30),
        single(c, "cap", "CAP", 9),
        single(c, "citta", "Localita'", 25),
        single(c, "provincia", "Provincia", 2),
    };
    const std::string tipo = c.tipo().value_or("");
    if (tipo == "PRIVATO" || tipo == "ITALIA") {
        if (empty(c.nazione())) c.setNazione(std::string("ITA"));
        fields.push_back(single(c, "codiceFiscale", "Codice Fiscale"));
        if (tipo == "ITALIA") fields.push_back(single(c, "partitaIva", "Partita Iva"));
    } else if (tipo == "CEE") {
        fields.push_back(choice(c, "nazione", "Nazione", nazioni(database, tipo)));
        fields.push_back(single(c, "partitaIvaCee", "Partita Iva CEE"));
    } else {
        fields.push_back(choice(c, "nazione", "Nazione", nazioni(database, tipo)));
    }
    return fields;
}

std::vector<GenericField> AnagraficaCliente::commerciale(Database& database) const {
    const Cliente& c = *clienteCorrente_;
    const std::string tipo = c.tipo().value_or("");
    std::vector<GenericField> fields;
    if (Preferences::standard().boolForKey(keys::pref_IMPORTANZAENABLED)) {
        std::vector<std::string> values;
        for (const Importanza& i : database.fetchAllImportanza().value_or(std::vector<Importanza>{}))
            values.push_back(describedEntry(i, &Importanza::descrizione, &Importanza::setDescrizione));
        fields.push_back(choice(c, "importanza", "Importanza cliente", values));
    }
    if (empty(c.lingua())) c.setLingua(std::string("[1] Italiano"));
    fields.push_back(choice(c, "lingua", "Lingua",
                            {"[1] Italiano", "[2] Inglese", "[3] Tedesco", "[4] Francese", "[5] Spagnolo", "[6] Portoghese"}));
    const auto aree = distinct(database.fetchAllAreaVendita(), "area", "IT");
    onlyEntry(c, "area", aree);
    fields.push_back(choice(c, "area", "Area", aree));
    const auto divise = distinct(database.fetchAllDivisa(), "divisa", "EURO");
    onlyEntry(c, "divisa", divise);
    fields.push_back(choice(c, "divisa", "Divisa", divise));

    std::vector<std::string> pagamenti;
    for (const Pagamento& p : database.fetchAllPagamento().value_or(std::vector<Pagamento>{}))
        if (visibleFor(p.visibilita(), tipo)) pagamenti.push_back(describedEntry(p, &Pagamento::descrizione, &Pagamento::setDescrizione));
    onlyEntry(c, "pagamento", pagamenti);
    fields.push_back(choice(c, "pagamento", "Pagamento", pagamenti));
    fields.push_back(single(c, "iban", "IBAN", 27));

    std::vector<std::string> rese;
    for (const Resa& r : database.fetchAllResa().value_or(std::vector<Resa>{}))
        if (visibleFor(r.visibilita(), tipo)) rese.push_back(describedEntry(r, &Resa::descrizione, &Resa::setDescrizione));
    onlyEntry(c, "resa", rese);
    fields.push_back(choice(c, "resa", "Resa", rese));

    std::vector<std::string> spedizionieri;
    for (const Spedizioniere& s : database.fetchAllSpedizioniere().value_or(std::vector<Spedizioniere>{}))
        if (visibleFor(s.visibilita(), tipo))
            spedizionieri.push_back(describedEntry(s, &Spedizioniere::ragioneSociale, &Spedizioniere::setRagioneSociale));
    onlyEntry(c, "spedizioniere", spedizionieri);
    fields.push_back(choice(c, "spedizioniere", "Spedizioniere", spedizionieri));
    fields.push_back(single(c, "abbonamento", "Abbonamento", 10));

    std::vector<std::string> agenti;
    const std::string agente = Preferences::standard().stringForKey(keys::pref_agente).value_or("");
    if (agente.empty()) {
        auto all = database.fetchAllAgente().value_or(std::vector<Agente>{});
        std::stable_sort(all.begin(), all.end(), [](const Agente& a, const Agente& b) {
            return TextCase::lessInLocale(a.ragioneSociale().value_or(""), b.ragioneSociale().value_or(""));
        });
        for (const Agente& a : all) agenti.push_back(describedEntry(a, &Agente::ragioneSociale, &Agente::setRagioneSociale));
    } else {
        std::optional<std::string> primo;
        std::size_t start = 0;
        while (start <= agente.size()) {
            const std::size_t end = std::min(agente.find(';', start), agente.size());
            const std::string piece = agente.substr(start, end - start);
            start = end + 1;
            if (piece.size() < 2) continue;
            std::optional<std::string> shown;
            if (auto found = database.fetchAgenteByCodice(piece))
                shown = describedEntry(*found, &Agente::ragioneSociale, &Agente::setRagioneSociale);
            if (shown) agenti.push_back(*shown);
            if (!primo) primo = shown.value_or(piece);
        }
        if (primo && empty(c.agenteTemporaneo())) c.setAgenteTemporaneo(*primo);
    }
    fields.push_back(choice(c, "agenteTemporaneo", "Agente", agenti));
    return fields;
}

std::vector<GenericField> AnagraficaCliente::destinazione(Database& database) const {
    const Destinazione& d = *destinazioneCorrente_;
    std::vector<GenericField> fields = {
        choice(d, "tipo", "Tipo destinazione", {"[1] Italiana", "[2] Estera"}),
        multi(d, {"ragioneSociale1", "ragioneSociale2", "ragioneSociale3"}, "Ragione Sociale", 30),
        multi(d, {"indirizzo1", "indirizzo2"}, "Indirizzo", 30),
        single(d, "cap", "CAP", 9),
        single(d, "citta", "Localita'", 25),
        single(d, "provincia", "Provincia", 2),
        choice(d, "nazione", "Nazione", nazioni(database, std::nullopt)),
    };
    // Extra data of the destination, one field per "DES-" parameter, in the parameters' text order.
    const auto info = d.destinazioneInfo();
    for (const Parametro& parametro : database.fetchAllMatchesParametro("DES-").value_or(std::vector<Parametro>{})) {
        const std::string attributo = parametro.attributo().value_or("");
        const std::string descrizione = parametro.descrizione().value_or("");
        const std::string valore = parametro.valore().value_or("");
        Log::f("Parametro Attributo=%@ Descrizione=%@ Valore=%@", attributo, descrizione, valore);
        long long numero = 0;
        for (std::size_t i = 4; i < attributo.size() && attributo[i] >= '0' && attributo[i] <= '9'; ++i)
            numero = std::min<long long>(numero * 10 + (attributo[i] - '0'), 1000);
        const std::string nomeDb = format("attribute%d", numero);
        Log::f("          Numero=%d NOMEDB=%@", numero, nomeDb);
        if (numero < 1 || numero > 30) {
            // The extra data has attributes 1 to 30: a field for another number would drop its input.
            Log::f("          Nessun campo per %@: numero fuori da 1-30", attributo);
            continue;
        }
        if (!info) continue;
        if (valore.empty()) {
            fields.push_back(single(*info, nomeDb, descrizione));
        } else {
            std::vector<std::string> values;
            std::size_t start = 0;
            while (start <= valore.size()) {
                const std::size_t end = std::min(valore.find(';', start), valore.size());
                values.push_back(valore.substr(start, end - start));
                start = end + 1;
            }
            fields.push_back(choice(*info, nomeDb, descrizione, values));
        }
    }
    return fields;
}

std::vector<GenericField> AnagraficaCliente::contatti() const {
    const Cliente& c = *clienteCorrente_;
    return {
        multi(c, {"contatto1Cognome", "contatto1Nome", "contatto1Annotazioni"}, "Contatto Azienda", 30),
        single(c, "contatto1Email", "Email Azienda"),
        single(c, "contatto1Telefono", "Telefono Azienda"),
        single(c, "contatto1Fax", "Fax Azienda"),
        multi(c, {"contatto2Cognome", "contatto2Nome", "contatto2Annotazioni"}, "Contatto Ufficio Acquisti", 30),
        single(c, "contatto2Email", "Email Ufficio Acquisti"),
        single(c, "contatto2Telefono", "Telefono Ufficio Acquisti"),
        single(c, "contatto2Fax", "Fax Ufficio Acquisti"),
    };
}

std::optional<std::string> AnagraficaCliente::problem(Database& database, const Cliente& c) {
    if (empty(c.ragioneSociale1())) return "La Ragione Sociale e' obbligatoria !";
    if (empty(c.lingua())) return "La Lingua e' obbligatoria !";
    if (empty(c.mastro())) return "Il Mastro e' obbligatorio !";
    if (parameterSaysYes(database, "OBB-AGENTE") && empty(c.agenteTemporaneo())) return "Agente obbligatorio !";
    if (parameterSaysYes(database, "OBB-NAZIONE") && empty(c.nazione())) return "Nazione obbligatoria !";
    if (parameterSaysYes(database, "OBB-CODICEFISCALE") && c.tipo().value_or("") != "EXTRACEE" && empty(c.codiceFiscale()) &&
        empty(c.partitaIva()) && empty(c.partitaIvaCee()))
        return "Cod.Fiscale o PartitaIva, obbligatorio !";
    const std::string partitaIva = c.partitaIva().value_or("");
    if (partitaIva.empty()) return std::nullopt;
    if (auto wrong = PartitaIva::problem(partitaIva)) return wrong;
    for (const Cliente& other : database.fetchAllClienteByPartitaIva(partitaIva).value_or(std::vector<Cliente>{}))
        if (other.codice() != c.codice())
            return format("Partita Iva gia' presente in %@ [%@]", other.ragioneSociale1(), other.codice());
    return std::nullopt;
}

void AnagraficaCliente::genericTableControllerWithName(const std::string& name, const std::string& button) {
    Log::f("Eccociiiiiiiiiiiii di ritorno da %@ premendo Button=%@ !!!", name, button);
    auto database = store_ ? store_() : nullptr;
    if (!database || !clienteCorrente_) return;
    if (button == "Annulla") {
        database->rollback();
        chiudi();
    } else if (button == "Conferma") {
        conferma(*database);
    }
}

void AnagraficaCliente::conferma(Database& database) {
    const Cliente& c = *clienteCorrente_;
    if (auto wrong = problem(database, c)) {
        ui_.showAlert(ui::Alert::simple("Errore", *wrong, "Continua"));
        return;
    }
    if (empty(c.email())) c.setEmail(!empty(c.contatto1Email()) ? c.contatto1Email() : c.contatto2Email());
    const Destinazione& d = *destinazioneCorrente_;
    d.setAbituale(false);
    if (empty(d.ragioneSociale1()))
        for (const char* attributo : {"cap", "citta", "codiceFiscale", "indirizzo1", "indirizzo2", "nazione", "partitaIva",
                                      "provincia", "ragioneSociale1", "ragioneSociale2", "ragioneSociale3", "fax",
                                      "telefono", "email"})
            d.setStringValue(attributo, c.stringValue(attributo));
    try {
        database.commit();
    } catch (const StoreFailure& failure) {
        // Nothing was saved: the form stays open with what was typed, to try again.
        ui_.showAlert(ui::Alert::simple("Errore", failure.reason(), "Continua"));
        return;
    }
    chiudi();
}

void AnagraficaCliente::chiudi() {
    auto shown = screen_;
    clienteCorrente_.reset();
    destinazioneCorrente_.reset();
    clienteInfoCorrente_.reset();
    if (shown) ui_.dismissModal(*shown);
    screen_.reset();
    if (closed_) closed_();
}

}  // namespace torvane
