// The catalogue: sizes, articles with their colours, price lists with agents and prices,
// commercial variants and groups, surcharges.
#include <mutex>
#include <unordered_map>

#include "loader/CaricatoreDatabase.h"
#include "loader/LoadCounters.h"
#include "loader/LoaderNumbers.h"
#include "loader/SectionLoader.h"
#include "loader/SectionRowValues.h"
#include "loader/xml/XmlCatalogueReader.h"
#include "platform/Log.h"
#include "store/Database.h"
#include "store/StoreConnection.h"

namespace torvane {

namespace {

struct Column {
    const char* child;
    const char* column;
};

const char* columnFor(const std::vector<Column>& list, std::string_view child) {
    for (const auto& entry : list)
        if (child == entry.child) return entry.column;
    return nullptr;
}

const std::vector<Column> kGruppoTaglie = {
    {"Codice", "codice"}, {"Descrizione", "descrizione"}, {"Linea", "linea"},
    {"Misura", "misura"}, {"TipoProdotto", "tipoProdotto"}};

const std::vector<Column> kArticolo = {
    {"Codice", "codice"},
    {"Descrizione1", "descrizione1"},
    {"Descrizione2", "descrizione2"},
    {"Um", "um"},
    {"CategoriaMerceologica", "categoriaMerceologica"},
    {"BusinessUnit", "businessUnit"},
    {"PesoGr", "pesoGr"},
    {"PesoOz", "pesoOz"},
    {"AltezzaCm", "altezzaCm"},
    {"AltezzaIn", "altezzaIn"},
    {"Composizione", "composizione"},
    {"Titolo", "titolo"},
    {"MinProd", "minProd"},
    {"FotoUrl", "fotoUrl"},
    {"FotoUrlZoom", "fotoUrlZoom"},
    {"GruppoCommerciale", "gruppoCommerciale"},
    {"ArticoloTessuto", "articoloPadre"}};

const std::vector<Column> kListino = {
    {"Descrizione", "descrizione"}, {"BusinessUnit", "businessUnit"}, {"Collezione", "collezione"},
    {"Area", "area"},               {"Divisa", "divisa"},             {"Um", "um"},
    {"LogoUrl", "logoUrl"}};

const std::vector<Column> kDescrizioniLingue = {
    {"Descrizione", "descrizioneITA"},    {"DescrizioneIng", "descrizioneING"}, {"DescrizioneFra", "descrizioneFRA"},
    {"DescrizioneTed", "descrizioneTED"}, {"DescrizioneSpa", "descrizioneSPA"}};

const std::vector<Column> kGruppoCommerciale = {
    {"Descrizione", "descrizione"},       {"DescrizioneIng", "descrizioneING"}, {"DescrizioneFra", "descrizioneFRA"},
    {"DescrizioneTed", "descrizioneTED"}, {"DescrizioneSpa", "descrizioneSPA"}};

// Sets the text of every child that has a column in `list`; returns how many children it saw.
template <typename Row>
int setTextColumns(Row& row, const XmlRecord& element, const std::vector<Column>& list) {
    int children = 0;
    for (const XmlRecord& child : element.children()) {
        ++children;
        if (const char* column = columnFor(list, child.name())) row.text(column, child.text());
    }
    return children;
}

std::optional<bool> siNo(const std::string& text) {
    if (text == "SI") return true;
    if (text == "NO") return false;
    return std::nullopt;
}

// Description attribute, or the code when it is absent or empty.
std::optional<std::string> descriptionOrCode(const XmlRecord& element) {
    auto description = element.attribute("Descrizione");
    if (!description || description->empty()) return element.attribute("Codice");
    return description;
}

}  // namespace

void SectionLoader::loadTaglie(XmlSectionRecords& records) {
    wipe("le Taglie etc.", [this] {
        db_.deleteGenericaTutteRows("TagliaDizionario");
        db_.deleteGenericaTutteRows("TagliaDettaglio");
        db_.deleteGenericaTutteRows("TagliaGruppo");
    });
    // A small section: read whole, so the groups load before the dictionary wherever it is.
    XmlRecord section = records.whole();
    for (const XmlRecord& element : section.children()) {
        if (element.name() != "GruppoTaglie") continue;
        std::lock_guard lock(db_.connection()->mutex());
        auto key = element.attribute("Codice");
        Log::f("Gruppo taglie Codice: %@", key);
        count(elements_);
        PendingRow<TagliaGruppo> gruppo(elements_, [&](ColumnValues values) {
            return db_.createTagliaGruppoWithCodice(key.value_or(""), std::move(values));
        });
        std::optional<std::string> codice = key;
        if (!key) gruppo.values().text("codice", std::nullopt);
        for (const XmlRecord& child : element.children()) {
            count(elements_);
            if (child.name() == "TaglieDelGruppo") {
                if (!gruppo.made()) break;
                for (const XmlRecord& size : child.children()) {
                    count(elements_);
                    auto sizeCode = size.attribute("Codice");
                    if (!sizeCode) continue;
                    Log::f("TagliaDettaglio Codice: %@", *sizeCode);
                    RowValues sizeRow;
                    sizeRow.text("descrizione", descriptionOrCode(size));
                    sizeRow.integer("sequenza", LoaderNumbers::leadingInteger(size.attribute("Sequenza").value_or("")));
                    if (!db_.createTagliaDettaglioWithCodice(*sizeCode, *gruppo.made(), sizeRow.take())) continue;
                    Log::f("Sto caricando la taglia %@ del Gruppo %@ ...", *sizeCode, codice);
                }
            } else if (const char* column = columnFor(kGruppoTaglie, child.name())) {
                std::string text = child.text();
                if (child.name() == "Codice") codice = text;
                gruppo.values().text(column, std::move(text));
            }
        }
        if (!gruppo.finish()) continue;
        flushIfDue(elements_, format("Sto caricando il Gruppo Taglie %@", codice));
    }
    // The dictionary is read and counted; nothing of it is kept.
    XmlRecord dizionario = section.firstChild("Dizionario");
    if (!dizionario.isNull()) {
        for (const XmlRecord& descrizioni : dizionario.children()) {
            if (descrizioni.name() != "Descrizioni") continue;
            count(elements_);
            auto area = descrizioni.attribute("Area");
            Log::f("Dizionario taglie Area:%@ Linea:%@ Tipo=%@", area, descrizioni.attribute("Linea"),
                   descrizioni.attribute("TipoProdotto"));
            for (const XmlRecord& taglia : descrizioni.children()) {
                count(elements_);
                if (taglia.name() == "Taglia")
                    Log::f("        Descrizione Taglia %@ = %@", taglia.attribute("Codice"),
                           taglia.attribute("Descrizione"));
            }
            flushIfDue(elements_, format("Sto caricando il Dizionario Taglie dell'Area %@", area));
        }
    }
    commit();
}

void SectionLoader::loadArticoli(XmlSectionRecords& records) {
    wipe("gli Articoli etc.", [this] { db_.deleteArticoliColoriGiacenzeFromDatabase(); });
    eachRecord(records, "Articolo", [this](const XmlRecord& element) { loadArticolo(element); });
    commit();
}

void SectionLoader::loadArticolo(const XmlRecord& element) {
    auto barCode = element.attribute("BarCode");
    count(elements_);
    PendingRow<Articolo> articolo(elements_, [&](ColumnValues values) {
        return db_.createArticoloWithBarCode(barCode.value_or(""), std::move(values));
    });
    if (!barCode) articolo.values().text("barCode", std::nullopt);
    std::optional<std::string> codice;
    bool firstOfCode = false;
    bool codeRecorded = false;
    std::unordered_map<std::string, Colore> ownColours;
    int madeColours = 0;
    for (const XmlRecord& child : element.children()) {
        count(elements_);
        std::string_view name = child.name();
        if (name == "Colori") {
            // Made here, with its code: the colour lookup finds the article by it.
            if (!articolo.made()) break;
            if (codice && !codeRecorded) {
                firstOfCode = cache_.articleCodes.insert(*codice).second;
                codeRecorded = true;
            }
            for (const XmlRecord& colour : child.children()) {
                count(elements_);
                auto colourBarCode = colour.attribute("BarCode");
                if (!colourBarCode) continue;
                auto colourCode = colour.attribute("Codice");
                std::optional<Colore> colore;
                if (colourCode && codice) {
                    // The first article of a code is the one the lookup finds; for it the
                    // colours made so far are all there is.
                    if (firstOfCode) {
                        auto known = ownColours.find(*colourCode);
                        if (known != ownColours.end()) colore = known->second;
                    } else {
                        colore = db_.fetchColoreByArticolo(*codice, *colourCode);
                    }
                }
                RowValues colourRow;
                colourRow.text("codice", colourCode);
                colourRow.text("descrizione", descriptionOrCode(colour));
                colourRow.text("descrizione2", colour.attribute("Descrizione2"));
                colourRow.text("varianteCommerciale", colour.attribute("VarComm"));
                if (colore) {
                    colourRow.update(*colore);
                    continue;
                }
                // The article is new: its colours take the positions 1, 2, 3… in the order made.
                colourRow.integer("articoloPosizione", madeColours + 1);
                colore = db_.createColoreWithBarCode(*colourBarCode, *articolo.made(), colourRow.take());
                if (!colore) continue;
                ++madeColours;
                ++counters_.colori;
                if (colourCode && !ownColours.count(*colourCode)) ownColours.emplace(*colourCode, *colore);
            }
        } else if (name == "FuoriListino") {
            articolo.values().boolean("flagFuoriListino", siNo(child.text()));
        } else if (const char* column = columnFor(kArticolo, name)) {
            std::string text = child.text();
            if (name == "Codice") codice = text;
            articolo.values().text(column, std::move(text));
        }
    }
    if (!articolo.finish()) return;
    ++counters_.articoli;
    if (codice && !codeRecorded) cache_.articleCodes.insert(*codice);
    flushIfDue(elements_, format("Sto caricando Articolo %@", codice));
}

void SectionLoader::loadListini(XmlSectionRecords& records) {
    wipe("i Listini etc.", [this] { db_.deleteListiniPrezziFromDatabase(); });
    cache_.allEntries = db_.isEmpty("ArticoloListino").value_or(false);
    // A list's own loader holds the lock: it lets the screens in between two batches of prices.
    eachRecord(records, "Listino", [this](const XmlRecord& element) { loadListino(element); }, RecordLock::ByLoader);
    commit();
}

void SectionLoader::loadListino(const XmlRecord& element) {
    std::unique_lock lock(db_.connection()->mutex());
    auto barCode = element.attribute("BarCode");
    std::optional<Listino> listino;
    if (barCode) listino = db_.fetchListinoByBarCode(*barCode);
    if (!listino) {
        RowValues created;
        created.text("tipo", std::string("N"));
        if (!barCode) created.text("barCode", std::nullopt);
        listino = db_.createListinoWithBarCode(barCode.value_or(""), created.take());
        if (listino) ++counters_.listini;
    }
    count(elements_);
    if (!listino) return;
    std::optional<std::string> descrizione = listino->descrizione();
    std::optional<std::string> currentBarCode = barCode;
    for (const XmlRecord& child : element.children()) {
        count(elements_);
        std::string_view name = child.name();
        if (const char* column = columnFor(kListino, name)) {
            std::string text = child.text();
            if (name == "Descrizione") descrizione = text;
            listino->setStringValue(column, text);
        } else if (name == "Agenti") {
            for (const XmlRecord& entry : child.children()) {
                count(elements_);
                auto codice = entry.attribute("Codice");
                if (!codice) continue;
                auto agente = db_.fetchAgenteByCodice(*codice);
                if (!agente) continue;
                listino->addTo("agenti", *agente);
                Log::f("    Agente %@ aggiunto al Listino %@", *codice, currentBarCode);
            }
        } else if (name == "Prezzi") {
            for (const XmlRecord& price : child.children()) {
                count(elements_);
                loadPrezzo(price, *listino, descrizione.value_or(""));
                if (elements_ > 1000) {
                    lock.unlock();  // let the screens in between two batches
                    flushIfDue(elements_, format("Sto caricando i Prezzi del listino %@ ...", descrizione));
                    lock.lock();
                }
            }
        } else if (name == "FlagStock") {
            // An empty flag says nothing: the list keeps its kind.
            std::string text = child.text();
            if (!text.empty() && text[0] == 'S') listino->setTipo(std::string("S"));
        } else if (name == "FlagStockSuperPartes") {
            std::string text = child.text();
            if (!text.empty() && text[0] == 'S') {
                currentBarCode = "STOCK-SUPER-PARTES";
                listino->setBarCode(currentBarCode);
            }
        }
    }
    flushIfDue(elements_, format("Sto caricando il Listino %@", descrizione));
}

void SectionLoader::loadPrezzo(const XmlRecord& price, const Listino& listino, const std::string&) {
    auto codiceArticolo = price.attribute("Articolo");
    if (!codiceArticolo) return;
    // No article comes or goes while the price lists load.
    auto known = cache_.articles.find(*codiceArticolo);
    if (known == cache_.articles.end())
        known = cache_.articles.emplace(*codiceArticolo, db_.fetchArticoloByCodice(*codiceArticolo)).first;
    const std::optional<Articolo>& articolo = known->second;
    if (!articolo) return;
    if (auto taglie = price.attribute("Taglie")) {
        articolo->setTagliaGruppo(*taglie);
        articolo->setTaglieCollegate(db_.fetchTagliaGruppoByCodice(*taglie));
    }
    // The wipe emptied every list, so each entry of this section is made here and the cache
    // knows them all.
    std::string entryKey = std::to_string(listino.id()) + '\x1f' + *codiceArticolo;
    std::optional<ArticoloListino> entry;
    if (auto cached = cache_.entries.find(entryKey); cached != cache_.entries.end()) entry = cached->second;
    if (!entry) {
        if (!cache_.allEntries) entry = db_.fetchArticoloListinoByArticolo(*codiceArticolo, listino);
        if (!entry) entry = db_.createArticoloListinoWithArticolo(*codiceArticolo, listino);
        if (entry) cache_.entries.emplace(entryKey, *entry);
    }
    if (!entry) {
        Log::line("Prezzo scartato per ArticoloListino inesistente !!!");
        return;
    }
    auto valore = price.attribute("Valore");
    if (!valore) return;
    auto variante = price.attribute("VarComm");
    RowValues row;
    if (!variante) row.text("varianteCommerciale", std::nullopt);
    row.decimal("valore", LoaderNumbers::decimalWithComma(*valore, "Valore"));
    row.text("maggiorazione", price.attribute("Magg"));
    if (auto valMagg = price.attribute("ValMagg"))
        row.decimal("valoreMaggiorazione", LoaderNumbers::decimalWithComma(*valMagg, "ValMagg"));
    if (db_.createPrezzoWithVarianteCommerciale(variante.value_or(""), *entry, row.take())) ++counters_.prezzi;
}

void SectionLoader::loadVariantiCommerciali(XmlSectionRecords& records) {
    eachRecord(records, "VarianteCommerciale", [this](const XmlRecord& element) {
        auto key = element.attribute("Codice");
        count(elements_);
        RowValues row;
        if (!key) row.text("codice", std::nullopt);
        int children = setTextColumns(row, element, kDescrizioniLingue);
        if (!db_.createVarianteCommercialeWithCodice(key.value_or(""), row.take())) return;
        count(elements_, children);
        flushIfDue(elements_, "Sto caricando le VariantiCommerciali ...");
    });
    commit();
}

void SectionLoader::loadGruppiCommerciali(XmlSectionRecords& records) {
    eachRecord(records, "GruppoCommerciale", [this](const XmlRecord& element) {
        auto codice = element.attribute("Codice");
        Log::f("GruppoCommerciale Codice: %@", codice);
        count(elements_);
        // One record per variant of the group.
        for (const XmlRecord& variant : element.children()) {
            count(elements_);
            if (variant.name() != "Variante") continue;
            auto varianteCodice = variant.attribute("Codice");
            Log::f("    Variante Codice: %@", varianteCodice);
            RowValues row;
            if (!codice) row.text("codice", std::nullopt);
            row.text("variante", varianteCodice);
            int children = setTextColumns(row, variant, kGruppoCommerciale);
            if (!db_.createGruppoCommercialeWithCodice(codice.value_or(""), row.take())) continue;
            count(elements_, children);
            flushIfDue(elements_, "Sto caricando i GruppiCommerciali ...");
        }
    });
    commit();
}

void SectionLoader::loadMaggiorazioni(XmlSectionRecords& records) {
    eachRecord(records, "Maggiorazione", [this](const XmlRecord& element) {
        auto key = element.attribute("Codice");
        count(elements_);
        RowValues row;
        if (!key) row.text("codice", std::nullopt);
        int children = 0;
        for (const XmlRecord& child : element.children()) {
            ++children;
            if (child.name() == "Range") {
                // A bound the document leaves out stays absent: no range starts or ends at 0 by accident.
                if (auto from = child.attribute("From"))
                    row.decimal("rangeFrom", LoaderNumbers::decimalWithComma(*from, "From"));
                if (auto to = child.attribute("To")) row.decimal("rangeTo", LoaderNumbers::decimalWithComma(*to, "To"));
            } else if (const char* column = columnFor(kDescrizioniLingue, child.name())) {
                row.text(column, child.text());
            }
        }
        if (!db_.createMaggiorazioneWithCodice(key.value_or(""), row.take())) return;
        count(elements_, children);
        flushIfDue(elements_, "Sto caricando le Maggiorazioni ...");
    });
    commit();
}

}  // namespace torvane
