#pragma once

// The floor of a catalogue load: the least work that puts the generated document's rows into
// the store's own tables (same schema, indexes and foreign keys, same bulk settings, one
// transaction, durable when committed) — one libxml2 text-reader pass that never builds a
// subtree, one statement prepared per table, and maps held for the whole run where the load
// must look rows up.
// It knows only the shapes CatalogueGenerator writes.
#include <libxml/xmlreader.h>
#include <sqlite3.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/StoreConnection.h"

namespace torvane::bench {

class LeanCatalogueFloor {
public:
    // `path`: a store file whose schema is already made.
    explicit LeanCatalogueFloor(const std::string& path) {
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) fail("open");
        StoreConnection::addFunctions(db_);  // the client search's triggers call them
        // The store's bulk settings. Its one commit waits for the disk, as the load's last commit
        // does: both leave the catalogue durable.
        exec("PRAGMA foreign_keys = ON; PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; "
             "PRAGMA wal_autocheckpoint = 16384; PRAGMA cache_size = -65536;");
    }
    ~LeanCatalogueFloor() {
        for (auto& [name, statement] : statements_) sqlite3_finalize(statement);
        sqlite3_close(db_);
    }
    LeanCatalogueFloor(const LeanCatalogueFloor&) = delete;
    LeanCatalogueFloor& operator=(const LeanCatalogueFloor&) = delete;

    void load(std::string_view xml, const std::string& markerName, const std::string& timestamp) {
        exec("BEGIN IMMEDIATE");
        insert("Parametro", {"attributo", "valore"}, {markerName, timestamp});
        xmlTextReaderPtr reader = xmlReaderForMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr,
                                                     XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_COMPACT);
        int status;
        while ((status = xmlTextReaderRead(reader)) == 1) {
            int type = xmlTextReaderNodeType(reader);
            int depth = xmlTextReaderDepth(reader);
            if (type == XML_READER_TYPE_ELEMENT) {
                std::string_view name = constName(reader);
                bool empty = xmlTextReaderIsEmptyElement(reader);
                if (depth == 2) section_ = name;
                if (depth >= 3) start(reader, depth, name);
                if (depth >= 3 && empty) end(depth, name);
                text_.clear();
            } else if (type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA) {
                text_ += reinterpret_cast<const char*>(xmlTextReaderConstValue(reader));
            } else if (type == XML_READER_TYPE_END_ELEMENT && depth >= 3) {
                end(depth, constName(reader));
            }
        }
        xmlFreeTextReader(reader);
        if (status != 0) fail("document not well-formed");
        exec("COMMIT");
    }

private:
    static std::string_view constName(xmlTextReaderPtr reader) {
        return reinterpret_cast<const char*>(xmlTextReaderConstName(reader));
    }
    static std::string attribute(xmlTextReaderPtr reader, const char* name) {
        xmlChar* value = xmlTextReaderGetAttribute(reader, reinterpret_cast<const xmlChar*>(name));
        std::string text = value ? reinterpret_cast<const char*>(value) : "";
        xmlFree(value);
        return text;
    }

    // Record elements sit at depth 3 (a section's children), their parts below.
    void start(xmlTextReaderPtr reader, int depth, std::string_view name) {
        if (depth == 3) {
            values_.clear();
            parts_.clear();
            recordCode_ = attribute(reader, section_ == "Giacenze" ? "Art" : "Codice");
            barCode_ = attribute(reader, "BarCode");
            if (section_ == "Giacenze") colourCode_ = attribute(reader, "Col");
            return;
        }
        if (name == "Agente" || name == "Colore" || name == "Prezzo" || name == "Tipo" || name == "Destinazione") {
            std::vector<std::string> part;
            for (const char* a : {"Codice", "Area", "BusinessUnit", "BarCode", "Descrizione", "VarComm", "Articolo",
                                  "Valore", "Descr", "Um", "Qta", "Pz", "Pta"})
                part.push_back(attribute(reader, a));
            parts_.push_back(std::move(part));
        }
        if (name == "Destinazione") inDestination_ = true;
    }

    void end(int depth, std::string_view name) {
        if (depth == 3) {
            finishRecord();
        } else if (inDestination_ && name == "Destinazione") {
            inDestination_ = false;
        } else if (depth >= 4) {
            auto& target = inDestination_ ? destination_ : values_;
            target[std::string(name)] = text_;
        }
        text_.clear();
    }

    std::string value(const char* child) const {
        auto found = values_.find(child);
        return found == values_.end() ? std::string() : found->second;
    }

    void finishRecord() {
        if (section_ == "Mastri") {
            insert("Mastro", {"codice", "descrizione"}, {recordCode_, value("Descrizione")});
        } else if (section_ == "Agenti") {
            agents_[recordCode_] = insert("Agente", {"codice", "ragioneSociale"}, {recordCode_, value("RagioneSociale")});
        } else if (section_ == "ClientiFornitori") {
            finishClient();
        } else if (section_ == "Articoli") {
            finishArticle();
        } else if (section_ == "Listini") {
            finishList();
        } else if (section_ == "Giacenze") {
            finishStock();
        }
    }

    void finishClient() {
        std::string codice = value("Codice");
        long long client = insert(
            "Cliente",
            {"barCode", "codice", "mastro", "status", "ragioneSociale1", "ragioneSociale2", "indirizzo1", "cap",
             "citta", "provincia", "nazione", "partitaIva", "email", "telefono", "area", "divisa", "um", "pagamento",
             "listino"},
            {barCode_, codice, codice.substr(0, 2), value("Status"), value("RagioneSociale1"),
             value("RagioneSociale2"), value("Indirizzo1"), value("Cap"), value("Citta"), value("Provincia"),
             value("NazioneIsoA3"), value("PartitaIvaItalia"), value("Email"), value("Telefono"), value("Area"),
             value("Divisa"), value("Um"), value("Pagamento"), value("Listino")});
        for (const auto& part : parts_) {
            if (part[0].empty()) continue;
            if (!part[1].empty() || !part[2].empty()) {  // an agent with its area and business unit
                std::string key = part[0] + '\x1f' + part[1] + '\x1f' + part[2];
                auto known = competences_.find(key);
                if (known == competences_.end())
                    known = competences_
                                .emplace(key, insert("AgenteCompetenza", {"agente", "area", "businessUnit"},
                                                     {part[0], part[1], part[2]}))
                                .first;
                insertIds("Cliente_AgenteCompetenza", {"Cliente", "AgenteCompetenza"}, {client, known->second});
            } else {  // a destination
                auto get = [&](const char* child) {
                    auto found = destination_.find(child);
                    return found == destination_.end() ? std::string() : found->second;
                };
                insert("Destinazione", {"codice", "ragioneSociale1", "indirizzo1", "citta", "abituale", "cliente"},
                       {part[0], get("RagioneSociale1"), get("Indirizzo1"), get("Citta"),
                        get("Abituale") == "SI" ? "1" : "0", std::to_string(client)});
                destination_.clear();
            }
        }
    }

    void finishArticle() {
        std::string codice = value("Codice");
        long long article = insert(
            "Articolo",
            {"barCode", "codice", "descrizione1", "descrizione2", "um", "categoriaMerceologica", "businessUnit",
             "pesoGr", "altezzaCm", "composizione", "fotoUrl", "flagFuoriListino"},
            {barCode_, codice, value("Descrizione1"), value("Descrizione2"), value("Um"),
             value("CategoriaMerceologica"), value("BusinessUnit"), value("PesoGr"), value("AltezzaCm"),
             value("Composizione"), value("FotoUrl"), value("FuoriListino") == "SI" ? "1" : "0"});
        int position = 0;
        for (const auto& part : parts_)
            colours_[codice + '\x1f' + part[0]] = {
                insert("Colore",
                       {"barCode", "codice", "descrizione", "varianteCommerciale", "flagCreatoDaMe", "articolo",
                        "articoloPosizione"},
                       {part[3], part[0], part[4], part[5], "0", std::to_string(article), std::to_string(++position)}),
                0};
    }

    void finishList() {
        long long list = insert("Listino", {"barCode", "descrizione", "tipo", "divisa", "um"},
                                {barCode_, value("Descrizione"), "N", value("Divisa"), value("Um")});
        for (const auto& part : parts_) {
            if (part[6].empty()) {  // an agent of the list
                auto agent = agents_.find(part[0]);
                if (agent != agents_.end()) insertIds("Agente_Listino", {"Agente", "Listino"}, {agent->second, list});
                continue;
            }
            std::string valore = part[7];
            for (char& c : valore)
                if (c == ',') c = '.';
            insert("Prezzo", {"varianteCommerciale", "valore", "valoreMaggiorazione", "articoloListino"},
                   {part[5], valore, "0", std::to_string(entry(list, part[6]))});
        }
    }

    void finishStock() {
        if (stockList_ == 0)
            stockList_ = insert("Listino", {"barCode", "descrizione", "tipo", "collezione", "businessUnit", "area",
                                            "divisa", "um"},
                                {"STOCK-SUPER-PARTES", "Stock (SUPER-PARTES)", "S", "", "", "", "", ""});
        entry(stockList_, recordCode_);
        auto& colour = colours_.at(recordCode_ + '\x1f' + colourCode_);
        for (const auto& part : parts_)
            insert("Giacenza", {"descrizione", "um", "quantita", "pezzi", "partita", "colore", "colorePosizione"},
                   {part[8], part[9], part[10], part[11], part[12], std::to_string(colour.id),
                    std::to_string(++colour.stockLines)});
    }

    // The list's entry for an article, made at its first price.
    long long entry(long long list, const std::string& article) {
        std::string key = std::to_string(list) + '\x1f' + article;
        auto known = entries_.find(key);
        if (known == entries_.end())
            known = entries_.emplace(key, insert("ArticoloListino", {"articolo", "listino"},
                                                 {article, std::to_string(list)}))
                        .first;
        return known->second;
    }

    sqlite3_stmt* statement(const char* table, const std::vector<const char*>& columns) {
        sqlite3_stmt*& prepared = statements_[table];
        if (prepared) return prepared;
        std::string sql = std::string("INSERT INTO \"") + table + "\" (";
        std::string marks;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            sql += std::string(i ? ", \"" : "\"") + columns[i] + "\"";
            marks += i ? ", ?" : "?";
        }
        sql += ") VALUES (" + marks + ")";
        if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &prepared, nullptr) != SQLITE_OK)
            fail(sql.c_str());
        return prepared;
    }
    long long step(sqlite3_stmt* s) {
        if (sqlite3_step(s) != SQLITE_DONE) fail("insert");
        sqlite3_reset(s);
        return sqlite3_last_insert_rowid(db_);
    }
    long long insert(const char* table, const std::vector<const char*>& columns,
                     const std::vector<std::string>& values) {
        sqlite3_stmt* s = statement(table, columns);
        for (std::size_t i = 0; i < values.size(); ++i)
            sqlite3_bind_text(s, static_cast<int>(i + 1), values[i].data(), static_cast<int>(values[i].size()),
                              SQLITE_STATIC);
        return step(s);
    }
    void insertIds(const char* table, const std::vector<const char*>& columns, const std::vector<long long>& ids) {
        sqlite3_stmt* s = statement(table, columns);
        for (std::size_t i = 0; i < ids.size(); ++i) sqlite3_bind_int64(s, static_cast<int>(i + 1), ids[i]);
        step(s);
    }
    void exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(sql);
    }
    [[noreturn]] void fail(const char* what) {
        throw std::runtime_error(std::string("floor: ") + what + ": " + (db_ ? sqlite3_errmsg(db_) : ""));
    }

    struct ColourRow {
        long long id;
        int stockLines;
    };

    sqlite3* db_ = nullptr;
    std::unordered_map<std::string, sqlite3_stmt*> statements_;
    std::string section_;
    std::string text_;
    std::string recordCode_, barCode_, colourCode_;
    std::unordered_map<std::string, std::string> values_;       // the record's text children
    std::unordered_map<std::string, std::string> destination_;  // the destination's text children
    std::vector<std::vector<std::string>> parts_;               // attributes of agents, colours, prices, lines
    bool inDestination_ = false;
    std::unordered_map<std::string, long long> agents_, competences_, entries_;
    std::unordered_map<std::string, ColourRow> colours_;
    long long stockList_ = 0;
};

}  // namespace torvane::bench
