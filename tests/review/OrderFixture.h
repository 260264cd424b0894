#pragma once

#include <string>
#include <vector>

#include "platform/Decimal.h"
#include "platform/IsoDate.h"
#include "platform/PreferenceKeys.h"
#include "review/ReportScelta.h"
#include "store/StoreFixture.h"
#include "support/Process.h"

namespace torvane::test {

// A real store holding a small catalogue and the orders a test builds in it.
struct OrderFixture : StoreFixture {
    Preferences& prefs() { return Preferences::standard(); }

    // More fields of a record come in `more`, written by the INSERT that makes it.
    Cliente cliente(const std::string& codice, const std::string& nome, ColumnValues more = {}) {
        more.insert(more.begin(), {{"codice", codice}, {"ragioneSociale1", nome}});
        return *db->createClienteWithBarCode("B" + codice, std::move(more));
    }
    Listino listino(const std::string& barCode, const std::string& descrizione, std::optional<std::string> um = "MT",
                    std::optional<std::string> divisa = "EUR") {
        auto l = db->createListinoWithBarCode(barCode);
        l->setDescrizione(descrizione);
        l->setUm(std::move(um));
        l->setDivisa(std::move(divisa));
        return *l;
    }
    Articolo articolo(const std::string& codice, std::optional<std::string> um = std::nullopt, ColumnValues more = {}) {
        more.insert(more.begin(), {"codice", codice});
        if (um) more.emplace_back("um", *um);
        return *db->createArticoloWithBarCode("BC" + codice, std::move(more));
    }
    SceltaTestata ordine(long long codice, const std::optional<std::string>& cliente,
                         const std::optional<std::string>& listino) {
        auto t = db->createSceltaTestataWithCodice(codice);
        t->setCliente(cliente);
        t->setListinoTestata(listino);
        t->setClienteRagioneSociale(std::string("Cliente di prova"));
        t->setDataCreazione(parseIsoDate("2026-03-04T09:05:00Z"));
        t->setTipo(std::string("N"));
        return *t;
    }
    SceltaRiga riga(const SceltaTestata& t, const std::string& articolo, const std::string& colore, double quantita,
                    const char* prezzo, const std::optional<std::string>& listino = std::nullopt) {
        auto r = db->createSceltaRigaForSceltaTestata(t);
        r->setArticolo(articolo);
        r->setColore(colore);
        r->setQuantita(quantita);
        if (prezzo) r->setPrezzo(Decimal::parse(prezzo));
        r->setListino(listino ? listino : t.listinoTestata());
        return *r;
    }
    ReportScelta reports() { return ReportScelta(db); }
};

// Runs a tool from poppler-utils or libxml2 and returns its standard output.
inline ProcessResult runTool(const std::string& tool, const std::vector<std::string>& arguments) {
    return runProcess("/usr/bin/" + tool, arguments);
}

// How many times `needle` occurs in `text`.
inline std::size_t occurrences(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++count;
    return count;
}

}  // namespace torvane::test
