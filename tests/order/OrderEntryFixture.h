#pragma once

#include <memory>
#include <string>

#include "app/OrderScreens.h"
#include "order/InserimentoSceltaViewController.h"
#include "platform/Decimal.h"
#include "platform/PreferenceKeys.h"
#include "platform/ui/Ui.h"
#include "session/CompanySession.h"
#include "store/StoreFixture.h"
#include "support/FakeUi.h"

namespace torvane::test {

// A small catalogue in a real store and the order-entry screen on top of it:
//   price lists L01 (business unit BU1) and L02; client C001 "Rossi Tessuti" on L01 with its
//   usual destination D2; article ART1 (barcode 100001) with colours 001 (10000, variant V1,
//   12.50 in L01) and 002 (10001, variant V2, no price); article ART2 (200001) sold by size
//   (S, M, L) with colours 10/S, 10/M, 10/L, 20/S (variant V1, 5.00 in L01).
struct OrderEntryFixture : StoreFixture {
    FakeUi ui;
    std::shared_ptr<InserimentoSceltaViewController> screen;

    void SetUp() override {
        StoreFixture::SetUp();
        Preferences& preferences = Preferences::standard();
        preferences.setString(keys::pref_TIPOORDINE, "N");
        preferences.setString(keys::pref_aziendaAttiva, "01");
        preferences.setString(keys::pref_agente, "A1;");
        listino("L01", "Listino uno").setBusinessUnit(std::string("BU1"));
        listino("L02", "Listino due");
        auto cliente = *db->createClienteWithBarCode(
            "C001", {{"codice", "C001"}, {"ragioneSociale1", "Rossi Tessuti"}, {"listino", "L01"}});
        db->createDestinazioneWithCodice("D1", cliente)->setAbituale(false);
        db->createDestinazioneWithCodice("D2", cliente)->setAbituale(true);
        auto art1 = articolo("100001", "ART1");
        colore(art1, "10000", "001", "V1");
        colore(art1, "10001", "002", "V2");
        prezzo("L01", "ART1", "V1", "12.50");
        auto art2 = articolo("200001", "ART2");
        art2.setTagliaGruppo(std::string("TG"));
        auto gruppo = *db->createTagliaGruppoWithCodice("TG");
        for (const char* taglia : {"S", "M", "L"}) db->createTagliaDettaglioWithCodice(taglia, gruppo);
        int n = 0;
        for (const char* codice : {"10/S", "10/M", "10/L", "20/S"}) colore(art2, "2000" + std::to_string(n++), codice, "V1");
        prezzo("L01", "ART2", "V1", "5.00");
        db->commit();
        screen = std::make_shared<InserimentoSceltaViewController>(ui, CompanySession::over(db));
        screen->setNavigation(std::make_shared<OrderScreens>());
    }

    Listino listino(const std::string& barCode, const std::string& descrizione) {
        return *db->createListinoWithBarCode(barCode, {{"descrizione", descrizione}});
    }
    Articolo articolo(const std::string& barCode, const std::string& codice) {
        return *db->createArticoloWithBarCode(barCode, {{"codice", codice}});
    }
    Colore colore(const Articolo& a, const std::string& barCode, const std::string& codice, const std::string& variante) {
        return *db->createColoreWithBarCode(barCode, a, {{"codice", codice}, {"varianteCommerciale", variante}});
    }
    Prezzo prezzo(const std::string& l, const std::string& a, const std::string& variante, const std::string& valore) {
        auto riga = db->fetchArticoloListinoByArticolo(a, *db->fetchListinoByBarCode(l));
        if (!riga) riga = db->createArticoloListinoWithArticolo(a, *db->fetchListinoByBarCode(l));
        auto p = *db->createPrezzoWithVarianteCommerciale(variante, *riga);
        p.setValore(Decimal::parse(valore));
        return p;
    }
    // Client C001 with its list, article ART1 and a colour: a line ready to confirm.
    void composePlain(const std::string& colourBarcode = "10000", const std::string& quantita = "3") {
        if (!screen->scelta().clienteCorrente) screen->impostaCliente(std::string("C001"));
        screen->barcodeData("100001", 0);
        screen->barcodeData(colourBarcode, 0);
        screen->impostaQuantita(quantita);
    }
    bool alerted(const std::string& message) const {
        for (const auto& shown : ui.alerts())
            if (shown.alert.message == message) return true;
        return false;
    }
    std::string counter() { return db->fetchParametroByAttributo("SYSTEM_ProgressivoOrdine")->valore().value_or(""); }
};

}  // namespace torvane::test
