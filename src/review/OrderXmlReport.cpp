#include "review/OrderXmlReport.h"

#include <cctype>

#include "platform/DateFormat.h"
#include "platform/Device.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/AtomicFile.h"
#include "review/ReportText.h"
#include "store/Database.h"

namespace torvane {

namespace {

constexpr const char* kListinoCambiato = "LISTINOCAMBIATO";

std::optional<std::string> flag(const std::optional<bool>& value) {
    if (!value) return std::nullopt;
    return std::string(*value ? "1" : "0");
}

std::string plainNumber(const std::optional<double>& value) {
    return value ? Decimal::fromDouble(*value).toString() : std::string();
}

std::optional<std::string> plainNumber(const std::optional<Decimal>& value) {
    if (!value) return std::nullopt;
    return value->toString();
}

// A nil attribute becomes the empty text on the record itself, as the office's import
// expects to find it the next time the record is read.
std::string filledIn(const Record& record, const char* attribute) {
    auto value = record.stringValue(attribute);
    if (!value) {
        record.setStringValue(attribute, std::string());
        return {};
    }
    return *value;
}

std::vector<std::string> agentCodes(const std::string& text) {
    std::vector<std::string> codes;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        std::string code = text.substr(start, end - start);
        if (!code.empty()) codes.push_back(code);  // "A1;" is one code, as the profile writes them
        start = end + 1;
    }
    return codes;
}

}  // namespace

OrderXmlReport::OrderXmlReport(Database& db) : db_(db), catalogue_(db) {}

void OrderXmlReport::always(const std::string& name, const std::optional<std::string>& value) {
    writer_.writeStartElement(name);
    if (hasText(value)) writer_.writeCharacters(*value);
    writer_.writeEndElement();
}

void OrderXmlReport::ifSet(const std::string& name, const std::optional<std::string>& value) {
    if (value) always(name, value);
}

void OrderXmlReport::ifSetEach(const Record& record, std::initializer_list<const char*> attributes) {
    for (const char* attribute : attributes) {
        std::string name = attribute;
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        ifSet(name, record.stringValue(attribute));
    }
}

const std::vector<Parametro>& OrderXmlReport::parametri(const std::string& prefix) {
    auto found = parametri_.find(prefix);
    if (found == parametri_.end())
        found = parametri_.emplace(prefix, db_.fetchAllMatchesParametro(prefix).value_or(std::vector<Parametro>{})).first;
    return found->second;
}

std::string OrderXmlReport::build(const SceltaTestata& testata) {
    writer_ = XmlWriter();
    parametri_.clear();
    auto righe = db_.fetchAllSceltaRigaByTestata(testata).value_or(std::vector<SceltaRiga>{});
    Log::f("Report XML : Scelta %@ - Righe presenti %d", testata.codice(), static_cast<long long>(righe.size()));

    auto& prefs = Preferences::standard();
    std::string udid = Device::identifier();
    Log::f("UDID: [%@]", udid);
    auto cliente = testata.cliente() ? db_.fetchClienteByCodice(*testata.cliente()) : std::nullopt;

    writer_.writeStartDocumentWithEncodingAndVersion(std::string("UTF-8"), std::string("1.0"));
    writer_.writeStartElement("TorvaneMobile");
    always("Udid", udid);
    always("Version", prefs.stringForKey(keys::pref_version));
    always("IosVersion", Device::systemVersion());

    writer_.writeStartElement("Azienda");
    if (auto azienda = testata.aaaAzienda()) writer_.writeAttribute("Codice", *azienda);
    auto user = prefs.stringForKey(keys::pref_user);
    always("Username", hasText(user) ? *user : udid);

    writer_.writeStartElement("Ordine");
    writer_.writeAttribute("Progressivo", testata.codice() ? std::to_string(*testata.codice()) : std::string());
    always("Saldo", std::string(prefs.boolForKey(keys::pref_ORDINESALDATOENABLED) ? "SI" : "NO"));
    writeCliente(cliente);

    if (cliente) {
        std::string mastro = textOf(cliente->mastro());
        if (utf16Length(mastro) >= 2) {
            auto proposta = db_.fetchParametroByAttributo(format("%@%@", "DIC-SERIE-MASTRO-", codeOfText(mastro)));
            if (proposta && hasText(proposta->valore())) always("PropostaSerie", proposta->valore());
        }
    }
    writeListino(testata);
    always("TipoOrdine", testata.tipo());
    always("Destinazione", testata.clienteDestinazione());
    always("Note", testata.note());
    always("PrioritaAssoluta", flag(testata.prioritaAssoluta()));
    always("PrioritaRelativa", flag(testata.prioritaRelativa()));
    auto creazione = testata.dataCreazione();
    always("DataCreazione", creazione ? DateFormat("yyyyMMddHHmm").format(*creazione) : std::string());
    always("Agente", codiceAgente(testata, cliente));
    writeRighe(testata, righe);

    writer_.writeEndDocument();
    std::string text = writer_.toData().value_or(std::string());
    Log::f("XML string to write:%@", text);
    return text;
}

bool OrderXmlReport::write(const SceltaTestata& testata, const std::string& path) {
    return writeFileAtomically(path, build(testata));
}

void OrderXmlReport::writeCliente(const std::optional<Cliente>& cliente) {
    writer_.writeStartElement("ClienteFornitore");
    writer_.writeAttribute("BarCode", cliente ? textOf(cliente->barCode()) : std::string());
    always("Status", std::string("Validated"));
    if (cliente) {
        always("Codice", cliente->codice());
        if (!cliente->mastro()) cliente->setMastro(std::string());
        always("Mastro", codeOfDescription(cliente->mastro()));
    } else {
        always("Codice", std::nullopt);
        always("Mastro", std::nullopt);
    }
    always("Tipo", std::string("Cliente"));
    if (cliente) {
        const Cliente& c = *cliente;
        ifSetEach(c, {"ragioneSociale1", "ragioneSociale2", "ragioneSociale3", "indirizzo1", "indirizzo2", "citta",
                      "provincia", "cap"});
        ifSet("NazioneIsoA3", codeOfDescription(c.nazione()));
        ifSetEach(c, {"telefono", "fax", "email"});
        // Notes travel only for clients created on the device: the office keeps its own.
        if (c.note() && startsWith(textOf(c.codice()), "NEW")) always("Note", c.note());
        ifSet("Agente", codeOfDescription(c.agenteTemporaneo()));
        ifSet("Lingua", codeOfDescription(c.lingua()));
        ifSet("SoggettoIva", codeOfDescription(c.soggettoIva()));
        ifSet("EsenteIva", codeOfDescription(c.esenteIva()));
        ifSet("CodiceFiscale", c.codiceFiscale());
        ifSet("PartitaIvaItalia", c.partitaIva());
        ifSet("PartitaIvaCee", c.partitaIvaCee());
        ifSet("Divisa", c.divisa());
        ifSet("Pagamento", codeOfDescription(c.pagamento()));
        ifSet("Iban", c.iban());
        ifSet("BancaIstituto", c.bancaIstituto());
        ifSet("BancaFiliale", c.bancaFiliale());
        ifSet("Resa", codeOfDescription(c.resa()));
        ifSet("Spedizioniere", codeOfDescription(c.spedizioniere()));
        ifSet("Abbonamento", c.abbonamento());
        writeDestinazioni(c);
    } else {
        always("Destinazioni", std::nullopt);
    }
    writeContatti(cliente);
    if (cliente) {
        writeAttributiCliente(*cliente);
        ifSet("Importanza", codeOfDescription(cliente->importanza()));
    }
    writer_.writeEndElement();
}

void OrderXmlReport::writeDestinazioni(const Cliente& cliente) {
    writer_.writeStartElement("Destinazioni");
    for (const auto& destinazione : cliente.destinazioni())
        if (hasText(destinazione.ragioneSociale1())) writeDestinazione(destinazione);
    writer_.writeEndElement();
}

void OrderXmlReport::writeDestinazione(const Destinazione& d) {
    writer_.writeStartElement("Destinazione");
    writer_.writeAttribute("Codice", textOf(d.codice()));
    always("Modifica", std::string(d.flagModifica().value_or(false) ? "SI" : "NO"));
    ifSet("Tipo", codeOfDescription(d.tipo()));
    // A destination gives its postcode before its province, unlike the client record.
    ifSetEach(d, {"ragioneSociale1", "ragioneSociale2", "ragioneSociale3", "indirizzo1", "indirizzo2", "citta", "cap",
                  "provincia"});
    ifSet("NazioneIsoA3", codeOfDescription(d.nazione()));
    ifSetEach(d, {"telefono", "fax", "email"});
    if (auto info = d.destinazioneInfo()) {
        writer_.writeStartElement("AttributiAggiuntivi");
        for (const auto& parametro : parametri("DES-")) {
            std::string nome = textOf(parametro.attributo());
            auto value = info->stringValue(format("attribute%d", attributeNumberOf(nome)));
            if (!value) continue;
            writer_.writeStartElement("Attributo");
            writer_.writeAttribute("Codice", nome);
            if (auto code = codeOfText(*value); !code.empty()) writer_.writeCharacters(code);
            writer_.writeEndElement();
        }
        writer_.writeEndElement();
        auto units = info->businessUnits();
        if (!units.empty()) {
            writer_.writeStartElement("BusinessUnits");
            for (const auto& unit : units) always("BusinessUnit", unit.codice());
            writer_.writeEndElement();
        }
    }
    writer_.writeEndElement();
}

void OrderXmlReport::writeContatto(const char* tipo, const std::optional<std::string> (&values)[6]) {
    static const char* const names[6] = {"Cognome", "Nome", "Annotazioni", "Telefono", "Fax", "Email"};
    writer_.writeStartElement("Contatto");
    writer_.writeAttribute("Tipo", tipo);
    for (int i = 0; i < 6; ++i) ifSet(names[i], values[i]);
    writer_.writeEndElement();
}

void OrderXmlReport::writeContatti(const std::optional<Cliente>& cliente) {
    writer_.writeStartElement("Contatti");
    std::optional<std::string> azienda[6], acquisti[6];
    if (cliente) {
        const Cliente& c = *cliente;
        std::optional<std::string> first[6] = {c.contatto1Cognome(), c.contatto1Nome(), c.contatto1Annotazioni(),
                                               c.contatto1Telefono(), c.contatto1Fax(), c.contatto1Email()};
        std::optional<std::string> second[6] = {c.contatto2Cognome(), c.contatto2Nome(), c.contatto2Annotazioni(),
                                                c.contatto2Telefono(), c.contatto2Fax(), c.contatto2Email()};
        for (int i = 0; i < 6; ++i) {
            azienda[i] = first[i];
            acquisti[i] = second[i];
        }
    }
    writeContatto("Azienda", azienda);
    writeContatto("Ufficio Acquisti", acquisti);
    writer_.writeEndElement();
}

void OrderXmlReport::writeAttributiCliente(const Cliente& cliente) {
    if (!cliente.codice()) return;
    auto info = db_.fetchClienteInfoByCodice(*cliente.codice());
    if (!info) return;
    writer_.writeStartElement("AttributiAggiuntivi");
    for (const auto& parametro : parametri("ATT-")) {
        std::string nome = textOf(parametro.attributo());
        writer_.writeStartElement("Attributo");
        writer_.writeAttribute("Codice", nome);
        always("Descrizione", parametro.descrizione());
        always("Valore", codeOfDescription(info->stringValue(format("attribute%d", attributeNumberOf(nome)))));
        writer_.writeEndElement();
    }
    writer_.writeEndElement();
}

void OrderXmlReport::writeListino(const SceltaTestata& testata) {
    auto barCode = testata.listinoTestata();
    if (textOf(barCode) == kListinoCambiato || textOf(testata.tipo()) == "S") return;
    always("Listino", barCode);
    writer_.writeStartElement("ListinoApplicato");
    auto listino = catalogue_.listino(barCode);
    static const std::pair<const char*, const char*> fields[] = {
        {"BusinessUnit", "businessUnit"}, {"AreaVendita", "area"}, {"Collezione", "collezione"},
        {"Divisa", "divisa"}, {"Um", "um"}};
    for (const auto& [element, attribute] : fields)
        always(element, listino ? filledIn(*listino, attribute) : std::string());
    writer_.writeEndElement();
}

std::string OrderXmlReport::codiceAgente(const SceltaTestata& testata, const std::optional<Cliente>& cliente) {
    auto codes = agentCodes(textOf(Preferences::standard().stringForKey(keys::pref_agente)));
    std::string code;
    if (codes.size() == 1) {
        code = codes.front();
    } else if (codes.size() > 1) {
        code = codes.front();
        if (cliente && textOf(testata.listinoTestata()) != kListinoCambiato) {
            auto listino = catalogue_.listino(testata.listinoTestata());
            auto unit = listino ? listino->businessUnit() : std::nullopt;
            for (const auto& competenza : cliente->agenti()) {
                auto bu = competenza.businessUnit();
                if (bu && bu != unit) continue;
                if (hasText(competenza.agente())) code = *competenza.agente();
                break;
            }
        }
    }
    return code.empty() ? std::string("Agente sconosciuto") : code;
}

std::string OrderXmlReport::unitaDiMisura(const SceltaTestata& testata, const SceltaRiga& riga) {
    if (textOf(riga.colore()) == "T+CC") return "N.";
    if (auto listino = catalogue_.listino(testata.listinoTestata()); listino && hasText(listino->um()))
        return *listino->um();
    if (auto articolo = catalogue_.articolo(riga.articolo()); articolo && hasText(articolo->um()))
        return *articolo->um();
    return "Non trovata";
}

void OrderXmlReport::writeRighe(const SceltaTestata& testata, const std::vector<SceltaRiga>& righe) {
    // The layout follows the header: an order with sizes writes one element per size.
    bool conTaglie = testata.presenzaTaglie().value_or(false);
    for (const auto& riga : righe) {
        if (conTaglie)
            writeRigaConTaglie(testata, riga);
        else
            writeRigaSenzaTaglie(testata, riga);
    }
}

void OrderXmlReport::writeRigaSenzaTaglie(const SceltaTestata& testata, const SceltaRiga& riga) {
    auto articolo = catalogue_.articolo(riga.articolo());
    writer_.writeStartElement("DettaglioOrdine");
    writer_.writeAttribute("Riga", std::to_string(riga.riga().value_or(0)));
    always("BarcodeArticolo", articolo ? articolo->barCode() : std::nullopt);
    // An article made up on the device has no code the office knows.
    bool creatoDaMe = articolo && articolo->flagCreatoDaMe().value_or(false);
    always("Articolo", creatoDaMe ? std::nullopt : riga.articolo());
    always("Serie", riga.serie());
    always("Colore", riga.colore());
    always("VarianteCommerciale", riga.varianteCommerciale());
    always("UM", unitaDiMisura(testata, riga));
    always("Quantita", plainNumber(riga.quantita()));
    always("Prezzo", plainNumber(riga.prezzo()));
    always("Nota", riga.nota());
    writeListinoApplicatoRiga(testata, riga);
    ifSet("Pta", riga.partita());
    ifSet("Lav", riga.lavorazione());
    writer_.writeEndElement();
}

void OrderXmlReport::writeListinoApplicatoRiga(const SceltaTestata& testata, const SceltaRiga& riga) {
    writer_.writeStartElement("ListinoApplicatoRiga");
    writer_.writeAttribute("BarCode", textOf(riga.listino()));
    auto listino = catalogue_.listino(riga.listino());
    std::string area, divisa, um;
    if (listino) {
        area = filledIn(*listino, "area");
        divisa = filledIn(*listino, "divisa");
        um = filledIn(*listino, "um");
    }
    std::optional<std::string> unit = listino ? listino->businessUnit() : std::nullopt;
    if (textOf(testata.tipo()) == "S") {
        auto articolo = catalogue_.articolo(riga.articolo());
        unit = articolo ? articolo->businessUnit() : std::nullopt;
    }
    always("BusinessUnit", unit);
    always("AreaVendita", area);
    always("Collezione", listino ? listino->collezione() : std::nullopt);
    always("Divisa", divisa);
    always("Um", um);
    writer_.writeEndElement();
}

void OrderXmlReport::writeRigaConTaglie(const SceltaTestata& testata, const SceltaRiga& riga) {
    auto articolo = catalogue_.articolo(riga.articolo());
    bool creatoDaMe = articolo && articolo->flagCreatoDaMe().value_or(false);
    auto taglie = riga.sceltaTaglie();
    long long numero = riga.riga().value_or(0);
    for (std::size_t i = 0; i < taglie.size(); ++i) {
        const SceltaTaglia& taglia = taglie[i];
        writer_.writeStartElement("DettaglioOrdine");
        writer_.writeAttribute("Riga", format("%d", numero * 100 + static_cast<long long>(i + 1)));
        always("BarcodeArticolo", articolo ? articolo->barCode() : std::nullopt);
        always("Articolo", creatoDaMe ? std::nullopt : riga.articolo());
        always("Serie", riga.serie());
        auto colore = riga.colore();
        auto nomeTaglia = taglia.taglia();
        always("Colore", colore && nomeTaglia ? format("%@/%@", *colore, *nomeTaglia) : std::string());
        auto variante = taglia.varianteCommerciale();
        always("VarianteCommerciale", riga.varianteCommerciale() && variante ? variante : std::nullopt);
        always("UM", unitaDiMisura(testata, riga));
        auto quantita = taglia.quantita();
        always("Quantita", riga.quantita() && quantita ? std::optional<std::string>(std::to_string(*quantita))
                                                       : std::nullopt);
        always("Nota", riga.nota());
        writer_.writeEndElement();
    }
}

}  // namespace torvane
