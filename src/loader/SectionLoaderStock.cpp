// Parameters (and the preferences they set), stock, sales statistics and credit exposure.
#include <mutex>

#include "loader/CaricatoreDatabase.h"
#include "loader/LoadCounters.h"
#include "loader/LoaderNumbers.h"
#include "loader/SectionLoader.h"
#include "loader/SectionRowValues.h"
#include "loader/xml/XmlCatalogueReader.h"
#include "platform/CompanyCode.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "store/Database.h"
#include "store/StoreConnection.h"

namespace torvane {

namespace {

bool beginsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

// "SET-EMAILXML" sets pref_EMAILXML.
std::string preferenceKey(const std::string& attributo) { return "pref_" + attributo.substr(4); }

Decimal decimalOrZero(const std::optional<std::string>& text, std::string_view field) {
    return text ? LoaderNumbers::decimalWithPoint(*text, field) : Decimal::fromInteger(0);
}

}  // namespace

void SectionLoader::loadParametri(XmlSectionRecords& records) {
    bool started = false;
    int loaded = eachRecord(records, "Parametro", [&](const XmlRecord& element) {
        if (!started) {
            started = true;
            for (const char* prefix : {"DES-", "ATT-", "OBB-", "NEC-"}) {
                Log::f("Cancello Parametri di tipo %@ ...", prefix);
                for (const auto& parametro : db_.fetchAllMatchesParametro(prefix).value_or(std::vector<Parametro>{}))
                    db_.deleteGenericaSingolaRow(parametro);
            }
            Log::line("Carico Parametri :");
        }
        count(elements_);
        auto attributo = element.attribute("Attributo");
        Log::f("Parametro Attributo: %@", attributo);
        // The device's own counters and markers are never taken from a document: an order
        // number or a freshness marker overwritten from outside would be reused or lost.
        bool refused = !attributo || attributo->empty() || beginsWith(*attributo, "SYSTEM_");
        if (refused) Log::f("Parametro %@ ignorato", attributo);
        RowValues row;
        for (const XmlRecord& child : element.children()) {
            count(elements_);
            if (refused) continue;
            if (child.name() == "Valore") row.text("valore", child.text());
            if (child.name() == "Descrizione") row.text("descrizione", child.text());
        }
        if (!refused) {
            if (auto parametro = db_.fetchParametroByAttributo(*attributo))
                row.update(*parametro);
            else
                db_.createParametroWithAttributo(*attributo, row.take());
        }
        flushIfDue(elements_, "Sto caricando i Parametri ...");
    });
    if (loaded == 0) return;
    std::lock_guard lock(db_.connection()->mutex());
    applyPreferences();
    Preferences::standard().synchronize();
    commit();
}

void SectionLoader::applyPreferences() {
    auto& prefs = Preferences::standard();
    Log::line("Attributi di tipo STRING (SET-) :");
    for (const auto& p : db_.fetchAllMatchesParametro("SET-").value_or(std::vector<Parametro>{})) {
        std::string key = preferenceKey(p.attributo().value_or("SET-"));
        // Only the company switch changes the active company (never under an order, always
        // with its store and session); a document may ask for another company like the agent
        // does, but only with a plain code, which is all a file name may be made of.
        if (key == keys::pref_aziendaAttiva) {
            Log::f("Parametro %@ ignorato: l'azienda attiva cambia solo con il cambio azienda", p.attributo());
            continue;
        }
        if (key == keys::pref_azienda && !CompanyCode::checked(p.valore().value_or(""), p.attributo().value_or("")))
            continue;
        if (auto valore = p.valore())
            prefs.setString(key, *valore);
        else
            prefs.removeObjectForKey(key);
        Log::f("    %@ = %@", key, prefs.stringForKey(key));
    }
    Log::line("Attributi di tipo SWITCH (SWI-) :");
    for (const auto& p : db_.fetchAllMatchesParametro("SWI-").value_or(std::vector<Parametro>{})) {
        std::string attributo = p.attributo().value_or("SWI-");
        std::string key = preferenceKey(attributo);
        // An empty value has no first letter: it reads as off, like an absent one.
        std::string valore = p.valore().value_or("");
        prefs.setBool(key, !valore.empty() && valore[0] == 'S');
        Log::f("    %@ = %d", key, prefs.boolForKey(key));
        // Fair mode is switched by the document that carries it, not by every later one.
        if (attributo == "SWI-MODALITAFIERAENABLED") db_.deleteGenericaSingolaRow(p);
    }
    Log::line("Attributi di tipo NUMERICI (NUM-) :");
    for (const auto& p : db_.fetchAllMatchesParametro("NUM-").value_or(std::vector<Parametro>{})) {
        std::string key = preferenceKey(p.attributo().value_or("NUM-"));
        prefs.setInteger(key, LoaderNumbers::leadingInteger(p.valore().value_or("")));
        Log::f("    %@ = %d", key, prefs.integerForKey(key));
    }
}

void SectionLoader::loadGiacenze(XmlSectionRecords& records) {
    std::optional<Listino> stockList;
    int loaded = eachRecord(records, "Giacenza", [&](const XmlRecord& element) {
        if (!stockList) {
            Log::line("Sto cancellando le Giacenze ...");
            db_.deleteGenericaTutteRows("Giacenza");
            commit();
            stockList = db_.fetchListinoByBarCode("STOCK-SUPER-PARTES");
            if (!stockList) {
                RowValues row;
                row.text("descrizione", std::string("Stock (SUPER-PARTES)"));
                row.text("tipo", std::string("S"));
                for (const char* column : {"collezione", "businessUnit", "area", "divisa", "um"})
                    row.text(column, std::string());
                stockList = db_.createListinoWithBarCode("STOCK-SUPER-PARTES", row.take());
                if (!stockList) throw std::runtime_error("Listino STOCK-SUPER-PARTES non creato");
            }
            Log::line("Sto caricando   le Giacenze ...");
            // The colours the lots name, read at once rather than one query a lot.
            if (auto colours = db_.fetchColoriByArticoloAndCodice()) {
                cache_.colours = std::move(*colours);
                cache_.allColours = true;
            }
        }
        loadGiacenza(element, *stockList);
    });
    if (loaded > 0) commit();
}

void SectionLoader::loadGiacenza(const XmlRecord& element, const Listino& stockList) {
    count(elements_);
    auto art = element.attribute("Art");
    if (!art) {
        Log::line("Giacenza senza articolo ignorata");
        return;
    }
    std::string col = element.attribute("Col").value_or("");
    std::string vc = element.attribute("VC").value_or("--");
    // Articles and colours change only through this section while it runs.
    auto known = cache_.articles.find(*art);
    if (known == cache_.articles.end()) known = cache_.articles.emplace(*art, db_.fetchArticoloByCodice(*art)).first;
    std::optional<Articolo>& articolo = known->second;
    if (!articolo) {
        RowValues row;
        row.boolean("flagCreatoDaMe", true);
        row.text("codice", *art);
        row.text("descrizione1", format("[%@] Non in collezione", *art));
        articolo = db_.createArticoloWithBarCode(*art, row.take());
        if (!articolo) return;
    }
    std::string entryKey = std::to_string(stockList.id()) + '\x1f' + *art;
    if (!cache_.entries.count(entryKey)) {
        auto entry = db_.fetchArticoloListinoByArticolo(*art, stockList);
        if (!entry) entry = db_.createArticoloListinoWithArticolo(*art, stockList);
        if (entry) cache_.entries.emplace(entryKey, *entry);
    }
    // The colour of the article the code finds.
    std::string colourKey = Database::coloreKey(articolo->id(), col);
    std::optional<Colore> colore;
    if (auto cached = cache_.colours.find(colourKey); cached != cache_.colours.end()) colore = cached->second;
    if (!colore && !cache_.allColours) colore = db_.fetchColoreByArticolo(*articolo, col);
    if (!colore) {
        RowValues row;
        row.boolean("flagCreatoDaMe", true);
        row.text("codice", col);
        row.text("descrizione", format("[%@] Non in collezione", col));
        row.text("varianteCommerciale", vc);
        colore = db_.createColoreWithBarCode(col, *articolo, row.take());
        if (!colore) return;
    }
    cache_.colours.emplace(colourKey, *colore);
    for (const XmlRecord& line : element.children()) {
        count(elements_);
        if (line.name() != "Tipo") continue;
        auto descr = line.attribute("Descr");
        if (!descr) continue;
        // Stock numbers come with a decimal point, never a comma.
        RowValues row;
        row.text("um", line.attribute("Um"));
        if (auto pz = line.attribute("Pz")) row.decimal("pezzi", LoaderNumbers::decimalWithPoint(*pz, "Pz"));
        if (auto qta = line.attribute("Qta")) row.decimal("quantita", LoaderNumbers::decimalWithPoint(*qta, "Qta"));
        row.text("partita", line.attribute("Pta"));
        row.text("lavorazione", line.attribute("Lav"));
        if (db_.createGiacenzaWithDescrizione(*descr, *articolo, *colore, row.take())) ++counters_.giacenze;
    }
    flushIfDue(elements_, "Sto caricando le Giacenze ...");
}

void SectionLoader::loadStatistiche(XmlSectionRecords& records) {
    eachRecord(records, "StoricoVendite", [this](const XmlRecord& element) { loadStoricoVendite(element); });
    commit();
}

void SectionLoader::loadStoricoVendite(const XmlRecord& element) {
    auto codice = element.attribute("Codice");
    if (!codice || !db_.fetchClienteByCodice(*codice)) {
        count(elements_, 11);
        return;
    }
    if (auto old = db_.fetchStatClienteByCodice(*codice)) {
        db_.deleteStatClienteAndChildren(*old);
        commit();
    }
    count(elements_);
    PendingRow<StatCliente> stat(
        elements_, [&](ColumnValues values) { return db_.createStatClienteWithCodice(*codice, std::move(values)); });
    std::optional<std::string> divisa;
    for (const XmlRecord& child : element.children()) {
        count(elements_);
        std::string_view name = child.name();
        if (name == "Divisa") {
            divisa = child.text();
            stat.values().text("divisa", divisa);
            continue;
        }
        if (name != "Periodo" && name != "Collezione") continue;
        if (!stat.made()) break;
        if (name == "Periodo") {
            RowValues periodo;
            if (auto val = child.attribute("Val"))
                periodo.decimal("valore", LoaderNumbers::decimalWithPoint(*val, "Val"));
            db_.createStatPeriodoWithCodice(child.attribute("Codice").value_or(""), *stat.made(), periodo.take());
        } else {
            loadStatCollezione(child, *stat.made(), divisa);
        }
    }
    stat.finish();
}

void SectionLoader::loadStatCollezione(const XmlRecord& element, const StatCliente& stat,
                                       const std::optional<std::string>& divisa) {
    RowValues first;
    first.text("divisa", divisa);
    auto collezione = db_.createStatCollezioneWithCodice(element.attribute("Codice").value_or(""), stat, first.take());
    if (!collezione) return;
    RowValues row;
    StatTotals totals;
    for (const XmlRecord& part : element.children()) {
        count(elements_);
        if (part.name() == "Um") {
            row.text("um", part.text());
        } else if (part.name() == "Divisa") {
            row.text("divisa", part.text());
        } else if (part.name() == "Articoli") {
            for (const XmlRecord& article : part.children()) {
                count(elements_);
                loadStatArticolo(article, *collezione, totals);
            }
        }
    }
    row.decimal("totPezzi", totals.pezzi);
    row.decimal("totQuantita", totals.quantita);
    row.decimal("totValore", totals.valore);
    row.update(*collezione);
}

void SectionLoader::loadStatArticolo(const XmlRecord& element, const StatCollezione& collezione, StatTotals& totals) {
    auto articleCode = element.attribute("Codice");
    if (!articleCode) return;
    auto statArticolo = db_.createStatArticoloWithCodice(*articleCode, collezione);
    if (!statArticolo) return;
    for (const XmlRecord& business : element.children()) {
        count(elements_);
        if (business.name() != "Business") continue;
        auto statBusiness = db_.createStatBusinessWithCodice(business.attribute("Codice").value_or(""), *statArticolo);
        if (!statBusiness) continue;
        for (const XmlRecord& tipo : business.children()) {
            count(elements_);
            if (tipo.name() != "Tipo") continue;
            loadStatTipo(tipo, *statBusiness, totals);
            flushIfDue(elements_, "Sto caricando le Statistiche ...");
        }
    }
}

void SectionLoader::loadStatTipo(const XmlRecord& element, const StatBusiness& business, StatTotals& totals) {
    std::string codice = element.attribute("Codice").value_or("");
    Decimal qta = decimalOrZero(element.attribute("Qta"), "Qta");
    Decimal val = decimalOrZero(element.attribute("Val"), "Val");
    Decimal pz = decimalOrZero(element.attribute("Pz"), "Pz");
    RowValues row;
    row.decimal("quantita", qta);
    row.decimal("valore", val);
    row.decimal("pezzi", pz);
    if (!db_.createStatTipoWithCodice(codice, business, row.take())) return;
    // "T+CC" is shown apart, so it stays out of the totals.
    if (codice == "T+CC") return;
    totals.pezzi += pz;
    totals.quantita += qta;
    totals.valore += val;
}

void SectionLoader::loadEsposizioni(XmlSectionRecords& records) {
    wipe("le Esposizioni", [this] { db_.deleteEsposizioneFromDatabase(); });
    eachRecord(records, "Esposizione", [this](const XmlRecord& element) { loadEsposizione(element); });
    commit();
}

void SectionLoader::loadEsposizione(const XmlRecord& element) {
    count(elements_);
    auto codice = element.attribute("Codice");
    if (!codice || !db_.fetchClienteByCodice(*codice)) return;
    auto cliente = db_.fetchEsposizioneClienteByCodice(*codice);
    if (!cliente) cliente = db_.createEsposizioneClienteWithCodice(*codice);
    if (!cliente) return;
    RowValues row;
    for (const XmlRecord& child : element.children()) {
        count(elements_);
        std::string_view name = child.name();
        const char* flag = name == "FlagScaduto"     ? "flagScaduto"
                           : name == "FlagOrdini"    ? "flagOrdini"
                           : name == "FlagFuoriFido" ? "flagFuoriFido"
                                                     : nullptr;
        if (flag) {
            std::string text = child.text();
            if (!text.empty() && text[0] == 'S') row.boolean(flag, true);
            if (!text.empty() && text[0] == 'N') row.boolean(flag, false);
        } else if (name == "Tipo") {
            count(elements_, static_cast<int>(child.children().size()));
            RowValues line;
            line.text("descrizione", child.attribute("Des"));
            line.text("divisa", child.attribute("Div"));
            if (auto val = child.attribute("Val")) line.decimal("valore", LoaderNumbers::decimalWithComma(*val, "Val"));
            line.text("attributo", child.attribute("Attr"));
            db_.createEsposizioneForEsposizioneCliente(*cliente, line.take());
        }
    }
    row.update(*cliente);
    flushIfDue(elements_, format("Sto caricando l'Esposizione di %@", *codice));
}

}  // namespace torvane
