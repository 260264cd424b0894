#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "OrderFixture.h"
#include "loader/xml/XmlDocument.h"
#include "loader/xml/XmlElement.h"

using namespace torvane;

namespace {

constexpr const char* kOrdine = "/TorvaneMobile/Azienda/Ordine";
constexpr const char* kCliente = "/TorvaneMobile/Azienda/Ordine/ClienteFornitore";
constexpr const char* kRiga = "/TorvaneMobile/Azienda/Ordine/DettaglioOrdine";

using Texts = std::vector<std::string>;

struct OrderXmlReportTest : test::OrderFixture {
    std::unique_ptr<XmlDocument> document;

    // Writes the order's document, checks it with xmllint and parses it back.
    void writeAndParse(const SceltaTestata& testata) {
        std::string path = dir.file("Ordine.xml");
        ASSERT_TRUE(reports().createReportXmlOrdine(testata, path));
        auto lint = test::runTool("xmllint", {"--noout", path});
        ASSERT_EQ(lint.exitCode, 0) << lint.err;
        std::string text = test::readFile(path);
        ASSERT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>", 0), 0u);
        auto parsed = XmlDocument::initWithData(text);
        ASSERT_TRUE(parsed) << parsed.error().message;
        document = std::move(parsed.value());
    }
    Texts texts(const std::string& xpath) {
        Texts values;
        auto nodes = document->nodesForXPath(xpath);
        EXPECT_TRUE(nodes) << xpath;
        if (nodes)
            for (auto* node : *nodes) values.push_back(node->stringValue());
        return values;
    }
    std::string text(const std::string& xpath) {
        auto values = texts(xpath);
        EXPECT_EQ(values.size(), 1u) << xpath;
        return values.empty() ? std::string("<none>") : values.front();
    }
    std::size_t count(const std::string& base, const std::string& path) { return texts(base + path).size(); }
    // Each path below `base` holds exactly one node with the given text.
    void expectTexts(const std::string& base, std::initializer_list<std::pair<const char*, const char*>> expected) {
        for (const auto& [path, value] : expected) EXPECT_EQ(text(base + path), value) << path;
    }
    std::string agente(long long codice) {
        writeAndParse(*db->fetchSceltaTestataByCodice(codice));
        return text(std::string(kOrdine) + "/Agente");
    }
    void assign(Cliente& c, const std::string& agente, std::optional<std::string> businessUnit) {
        auto competenza = db->createAgenteCompetenzaWithAgente(agente, "AR", businessUnit.value_or(""));
        competenza->setBusinessUnit(std::move(businessUnit));
        c.addTo("agenti", *competenza);
    }
};

TEST_F(OrderXmlReportTest, WritesTheClientRecordWithCodesDestinationsContactsAndAttributes) {
    prefs().setString(keys::pref_version, "2.4");
    prefs().setString(keys::pref_user, "");
    prefs().setBool(keys::pref_ORDINESALDATOENABLED, true);
    auto c = cliente("NEW0007", "Tessuti Nuovi",
                     {{"nazione", "[ITA] Italia"}, {"mastro", "[MA] Mastro clienti"}, {"lingua", "[1] Italiano"},
                      {"note", "consegna al mattino"}, {"contatto1Nome", "Anna"}, {"contatto2Email", "acquisti@example.com"}});
    auto buona = db->createDestinazioneWithCodice("2", c);
    buona->setRagioneSociale1("Magazzino Nord");
    buona->setFlagModifica(true);
    buona->setNazione("[FRA] Francia");
    auto info = db->createClienteInfoWithCodice("NEW0007-2");
    info->setDestinazione(*buona);
    info->setAttribute3("[X] scelta");
    info->addTo("businessUnits", *db->createBusinessUnitWithCodice("BU1"));
    db->createDestinazioneWithCodice("3", c);  // no name: not sent
    db->createParametroWithAttributo("DES-3");
    db->createParametroWithAttributo("DES-4");  // attribute4 not set: no element
    db->createParametroWithAttributo("ATT-02")->setDescrizione("Canale");
    db->createParametroWithAttributo("ATT-5");
    db->createClienteInfoWithCodice("NEW0007")->setAttribute2("[WEB] Negozio online");
    db->createParametroWithAttributo("DIC-SERIE-MASTRO-MA")->setValore("S1;S2");
    listino("L01", "Listino estate");
    auto t = ordine(12, "NEW0007", "L01");
    t.setAaaAzienda("AZ");
    t.setPrioritaAssoluta(true);

    writeAndParse(t);
    expectTexts("/TorvaneMobile", {{"/Version", "2.4"}, {"/Azienda/@Codice", "AZ"}});
    EXPECT_EQ(text("/TorvaneMobile/Azienda/Username"), text("/TorvaneMobile/Udid")) << "no user: the device";
    expectTexts(kCliente, {{"/@BarCode", "BNEW0007"}, {"/NazioneIsoA3", "ITA"}, {"/Mastro", "MA"}, {"/Lingua", "1"},
                           {"/Note", "consegna al mattino"}});
    EXPECT_EQ(count(kCliente, "/Telefono"), 0u) << "(if set) elements are left out";
    expectTexts(std::string(kCliente) + "/Destinazioni/Destinazione",
                {{"/@Codice", "2"}, {"/Modifica", "SI"}, {"/NazioneIsoA3", "FRA"},
                 {"/AttributiAggiuntivi/Attributo[@Codice='DES-3']", "X"}, {"/BusinessUnits/BusinessUnit", "BU1"}});
    EXPECT_EQ(count(kCliente, "/Destinazioni/Destinazione/AttributiAggiuntivi/Attributo"), 1u);
    expectTexts(kCliente, {{"/Contatti/Contatto[@Tipo='Azienda']/Nome", "Anna"},
                           {"/Contatti/Contatto[@Tipo='Ufficio Acquisti']/Email", "acquisti@example.com"},
                           {"/AttributiAggiuntivi/Attributo[@Codice='ATT-02']/Descrizione", "Canale"},
                           {"/AttributiAggiuntivi/Attributo[@Codice='ATT-02']/Valore", "WEB"},
                           {"/AttributiAggiuntivi/Attributo[@Codice='ATT-5']/Valore", ""}});
    expectTexts(kOrdine, {{"/@Progressivo", "12"}, {"/Saldo", "SI"}, {"/PropostaSerie", "S1;S2"}, {"/Listino", "L01"},
                          {"/ListinoApplicato/Um", "MT"}, {"/ListinoApplicato/BusinessUnit", ""},
                          {"/PrioritaAssoluta", "1"}, {"/PrioritaRelativa", ""}, {"/Agente", "Agente sconosciuto"}});
    EXPECT_EQ(count(kOrdine, "/DettaglioOrdine"), 0u);

    // The children of Ordine come in the document's order.
    Texts order;
    for (auto* node : document->rootElement()->elementsForName("Azienda")[0]->elementsForName("Ordine")[0]->children())
        if (node->kind() == XmlNodeKind::Element) order.push_back(node->name());
    EXPECT_EQ(order, (Texts{"Saldo", "ClienteFornitore", "PropostaSerie", "Listino", "ListinoApplicato", "TipoOrdine",
                            "Destinazione", "Note", "PrioritaAssoluta", "PrioritaRelativa", "DataCreazione",
                            "Agente"}));
}

TEST_F(OrderXmlReportTest, OfficeClientsKeepTheirNotesAndAClientWithoutNamedDestinationsHasAnEmptyList) {
    auto c = cliente("C01", "Rossi", {{"note", "nota interna"}});
    db->createDestinazioneWithCodice("1", c)->setRagioneSociale1("");
    writeAndParse(ordine(1, "C01", "L01"));
    EXPECT_EQ(count(kCliente, "/Note"), 0u);
    EXPECT_EQ(count(kCliente, "/Destinazioni"), 1u);
    EXPECT_EQ(count(kCliente, "/Destinazioni/*"), 0u);
    EXPECT_EQ(count(kCliente, "/AttributiAggiuntivi"), 0u) << "no ClienteInfo of the client";
    EXPECT_EQ(text(std::string(kOrdine) + "/Saldo"), "NO");
}

TEST_F(OrderXmlReportTest, LinesCarryUnitsPricesAndTheirOwnPriceList) {
    listino("L01", "Estate", "MT");
    listino("L02", "Inverno", std::nullopt, std::nullopt).setBusinessUnit("TESSUTI");
    articolo("ART1", "KG");
    articolo("ZZZ", "PZ").setFlagCreatoDaMe(true);
    cliente("C01", "Rossi");
    auto t = ordine(5, "C01", "L01");
    auto r1 = riga(t, "ART1", "001", 12.5, "3.20");
    r1.setSerie("S");
    r1.setPartita("P9");
    riga(t, "ART1", "T+CC", 1, "0");
    riga(t, "ZZZ", "002", 2, "1.5", std::string("L02"));
    riga(t, "GONE", "003", 1, nullptr);  // the article went with a reload

    writeAndParse(t);
    EXPECT_EQ(texts(std::string(kRiga) + "/@Riga"), (Texts{"1", "2", "3", "4"}));
    EXPECT_EQ(texts(std::string(kRiga) + "/UM"), (Texts{"MT", "N.", "MT", "MT"}));
    expectTexts(kRiga, {{"[1]/BarcodeArticolo", "BCART1"}, {"[1]/Quantita", "12.5"}, {"[1]/Prezzo", "3.2"},
                        {"[1]/Pta", "P9"}, {"[1]/ListinoApplicatoRiga/@BarCode", "L01"},
                        {"[3]/Articolo", ""},  // an article made on the device
                        {"[3]/ListinoApplicatoRiga/@BarCode", "L02"},
                        {"[3]/ListinoApplicatoRiga/BusinessUnit", "TESSUTI"}, {"[4]/BarcodeArticolo", ""},
                        {"[4]/Articolo", "GONE"}, {"[4]/Prezzo", ""}});
    EXPECT_EQ(count(kRiga, "[1]/Lav"), 0u);
    EXPECT_EQ(db->fetchListinoByBarCode("L02")->divisa(), std::string()) << "nil filled in on the record";
}

TEST_F(OrderXmlReportTest, AChangedPriceListOrderHasNoHeaderListTakesUnitsFromTheArticleAndIgnoresAssignments) {
    prefs().setString(keys::pref_agente, "A1;A2;");
    listino("L01", "Estate", "MT");
    articolo("ART1", "KG");
    auto c = cliente("C01", "Rossi");
    assign(c, "A9", std::nullopt);
    auto t = ordine(6, "C01", "LISTINOCAMBIATO");
    riga(t, "ART1", "001", 1, "1", std::string("L01"));
    riga(t, "NONE", "001", 1, "1", std::string("L01"));

    EXPECT_EQ(agente(6), "A1");
    EXPECT_EQ(count(kOrdine, "/Listino") + count(kOrdine, "/ListinoApplicato"), 0u);
    EXPECT_EQ(texts(std::string(kRiga) + "/UM"), (Texts{"KG", "Non trovata"}));
}

TEST_F(OrderXmlReportTest, AgentComesFromTheClientsAssignmentForThePriceListsBusinessUnit) {
    prefs().setString(keys::pref_agente, "A1;A2");
    listino("L01", "Estate").setBusinessUnit("BU1");
    auto c = cliente("C01", "Rossi");
    assign(c, "A7", std::string("BU2"));
    ordine(7, "C01", "L01");
    EXPECT_EQ(agente(7), "A1") << "no assignment matches: the first code";
    assign(c, "A9", std::nullopt);
    EXPECT_EQ(agente(7), "A9");
    prefs().setString(keys::pref_agente, "SOLO");
    EXPECT_EQ(agente(7), "SOLO");
}

TEST_F(OrderXmlReportTest, TheHeaderDecidesTheSizeLayout) {
    listino("L01", "Estate");
    cliente("C01", "Rossi");
    auto t = ordine(8, "C01", "L01");
    t.setPresenzaTaglie(true);
    riga(t, "ART1", "001", 1, "10");  // line 1 without sizes: nothing
    riga(t, "ART1", "002", 1, "10");
    auto r3 = riga(t, "ART1", "RED", 4, "10");
    r3.setVarianteCommerciale("01");
    for (const char* taglia : {"S", "M", "L", "XL"}) {
        auto s = db->createSceltaTagliaWithTaglia(taglia, r3);
        s->setQuantita(2);
        s->setVarianteCommerciale("V1");
    }

    writeAndParse(t);
    EXPECT_EQ(texts(std::string(kRiga) + "/@Riga"), (Texts{"301", "302", "303", "304"}));
    EXPECT_EQ(texts(std::string(kRiga) + "/Colore"), (Texts{"RED/S", "RED/M", "RED/L", "RED/XL"}));
    expectTexts(kRiga, {{"[1]/VarianteCommerciale", "V1"}, {"[1]/Quantita", "2"}});
    EXPECT_EQ(count(kRiga, "/Prezzo") + count(kRiga, "/ListinoApplicatoRiga"), 0u);

    t.setPresenzaTaglie(false);
    writeAndParse(t);
    EXPECT_EQ(count(kRiga, ""), 3u);
    expectTexts(kRiga, {{"[3]/Quantita", "4"}, {"[3]/Prezzo", "10"}});
}

TEST_F(OrderXmlReportTest, BadInputStillGivesAWellFormedDocument) {
    // No client record, no price list, no lines; texts outside Latin-1 and the BMP, markup
    // characters and a very long note.
    auto t = ordine(9, "MISSING", "NOPE");
    t.setNote(std::string(20000, 'x') + " <&> \"quoted\" \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80 \x01 \xFF end");
    writeAndParse(t);
    EXPECT_EQ(text(std::string(kCliente) + "/Codice"), "");
    EXPECT_EQ(count(kCliente, "/Destinazioni"), 1u);
    EXPECT_EQ(count(kCliente, "/Contatti/Contatto"), 2u);
    std::string note = text(std::string(kOrdine) + "/Note");
    EXPECT_NE(note.find(" <&> \"quoted\" \xE6\x97\xA5\xE6\x9C\xAC  "), std::string::npos) << "the emoji is dropped";
    EXPECT_NE(note.find(" end"), std::string::npos);
    EXPECT_TRUE(log->contains("Report XML : Scelta 9 - Righe presenti 0"));
}

TEST_F(OrderXmlReportTest, AFailedWriteLeavesNoFileBehindAndNeverAHalfOne) {
    auto t = ordine(10, "C01", "L01");
    EXPECT_FALSE(reports().createReportXmlOrdine(t, dir.file("missing/Ordine.xml")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));

    // The place is taken by a folder that cannot be replaced: it stays, and no temporary is left.
    std::filesystem::create_directories(dir.file("out/Ordine.xml/keep"));
    EXPECT_FALSE(reports().createReportXmlOrdine(t, dir.file("out/Ordine.xml")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("out/Ordine.xml/keep")));
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("out")))
        EXPECT_EQ(entry.path().filename(), "Ordine.xml") << "left behind: " << entry.path();

    // A document that is there already is replaced whole.
    std::filesystem::create_directories(dir.file("ok"));
    std::ofstream(dir.file("ok/Ordine.xml")) << std::string(100000, 'z');
    ASSERT_TRUE(reports().createReportXmlOrdine(t, dir.file("ok/Ordine.xml")));
    std::string written = test::readFile(dir.file("ok/Ordine.xml"));
    EXPECT_EQ(written.find("zzzz"), std::string::npos);
    EXPECT_TRUE(written.ends_with("</TorvaneMobile>"));
}

}  // namespace
