// Code tables and clients with their agents, destinations and extra attributes.
#include "loader/LoaderTestSupport.h"

using namespace torvane;
using namespace torvane::test;

using MasterDataSections = LoaderFixture;

namespace {

std::string client(const std::string& barCode, const std::string& codice, const std::string& agents,
                   const std::string& more = "") {
    return "<ClienteFornitore BarCode=\"" + barCode + "\"><Codice>" + codice + "</Codice><Agenti>" + agents +
           "</Agenti>" + more + "</ClienteFornitore>";
}

}  // namespace

TEST_F(MasterDataSections, CodeTablesConvertTheirFlagsAndVisibility) {
    auto loader = load(document(
        "<Nazioni><Nazione Codice=\"IT\"><Descrizione>Italia</Descrizione><Cee>SI</Cee></Nazione>"
        "<Nazione Codice=\"CH\"><Cee>NO</Cee></Nazione><Nazione Codice=\"FR\"><Cee>si</Cee></Nazione></Nazioni>"
        "<Pagamenti><Pagamento Codice=\"P1\"><Abilitazione>SEMPRE</Abilitazione></Pagamento>"
        "<Pagamento Codice=\"P2\"><Abilitazione></Abilitazione></Pagamento>"
        "<Pagamento Codice=\"P3\"><Abilitazione>AGENTI</Abilitazione></Pagamento></Pagamenti>"
        "<ColoriAlfanumerici><ColoreAlfanumerico BarCode=\"\"><Colore>Blu</Colore></ColoreAlfanumerico>"
        "</ColoriAlfanumerici>"
        "<ClientiFornitori/>"));
    ASSERT_EQ(loader->result(), 0);
    EXPECT_EQ(text("SELECT cee FROM Nazione WHERE codice = 'IT'"), "1");
    EXPECT_EQ(text("SELECT cee FROM Nazione WHERE codice = 'CH'"), "0");
    EXPECT_EQ(text("SELECT cee FROM Nazione WHERE codice = 'FR'"), std::nullopt);
    EXPECT_EQ(text("SELECT descrizione FROM Nazione WHERE codice = 'IT'"), "Italia");
    EXPECT_EQ(text("SELECT COUNT(*) FROM Pagamento WHERE visibilita IS NULL"), "2");
    EXPECT_EQ(text("SELECT visibilita FROM Pagamento WHERE codice = 'P3'"), "AGENTI");
    EXPECT_EQ(count("ColoreAlfanumerico"), 1);
    EXPECT_TRUE(log->contains("BarCode del ColoreAlfanumerico rovinato :  ?!?!"));
}

TEST_F(MasterDataSections, CodeTablesLoadOnlyWithTheClients) {
    load(document("<ClientiFornitori/><Agenti><Agente Codice=\"A1\"/></Agenti>", "1"));
    ASSERT_EQ(count("Agente"), 1);
    load(document("<Agenti><Agente Codice=\"A2\"/><Agente Codice=\"A3\"/></Agenti>", "2"));
    EXPECT_EQ(text("SELECT codice FROM Agente"), "A1");
}

TEST_F(MasterDataSections, ClientsKeepTheirFieldsAgentsDestinationsAndExtraAttributes) {
    std::string destinations =
        "<Destinazioni><Destinazione Codice=\"D1\"><Citta>Prato</Citta><Abituale>SI</Abituale>"
        "<AttributiAggiuntivi><Attributo Codice=\"DES-7\">rosso</Attributo><Attributo Codice=\"DES-31\">x</Attributo>"
        "<Attributo Codice=\"DES-0\">y</Attributo></AttributiAggiuntivi>"
        "<BusinessUnit>BU1</BusinessUnit><BusinessUnit>NONE</BusinessUnit></Destinazione>"
        "<Altra Codice=\"D2\"/><Senza/></Destinazioni>";
    auto loader = load(document(
        "<BusinessUnits><BusinessUnit Codice=\"BU1\"/></BusinessUnits><ClientiFornitori>" +
        client("B1", "C00001", "<A Codice=\"AG1\" Area=\"N\" BusinessUnit=\"BU1\"/>",
               "<RagioneSociale1>Rossi</RagioneSociale1><NazioneIsoA3>ITA</NazioneIsoA3><Listino>L1</Listino>"
               "<Sconosciuto>?</Sconosciuto><Status>1</Status><Status>2</Status>" + destinations) +
        client("B2", "C", "<A Codice=\"AG1\" Area=\"N\" BusinessUnit=\"BU1\"/>") +
        client("B3", "AB", "") + "</ClientiFornitori>"));
    ASSERT_EQ(loader->result(), 0);
    EXPECT_EQ(loader->clientiCaricati(), 3);
    EXPECT_EQ(text("SELECT mastro FROM Cliente WHERE codice = 'C00001'"), "C0");
    EXPECT_EQ(text("SELECT mastro FROM Cliente WHERE codice = 'C'"), "C") << "a one-letter code is its own ledger";
    EXPECT_EQ(text("SELECT mastro FROM Cliente WHERE codice = 'AB'"), "AB");
    EXPECT_EQ(text("SELECT nazione || listino || ragioneSociale1 FROM Cliente WHERE codice = 'C00001'"), "ITAL1Rossi");
    EXPECT_EQ(text("SELECT status FROM Cliente WHERE codice = 'C00001'"), "2") << "the last child of a name wins";
    EXPECT_EQ(count("AgenteCompetenza"), 1) << "one competence shared by both clients";
    EXPECT_EQ(count("Cliente_AgenteCompetenza"), 2);
    EXPECT_EQ(count("Destinazione"), 2);
    EXPECT_EQ(text("SELECT citta || abituale FROM Destinazione WHERE codice = 'D1'"), "Prato1");
    EXPECT_EQ(text("SELECT attribute7 FROM ClienteInfo WHERE codice = 'C00001-D1'"), "rosso");
    EXPECT_EQ(count("ClienteInfo"), 1) << "D2 has neither extra attributes nor units";
    EXPECT_EQ(count("ClienteInfo_BusinessUnit"), 1);
    EXPECT_TRUE(log->contains("Attributo DES-31 ignorato: numero fuori da 1-30"));
    EXPECT_TRUE(log->contains("                 (Numero=7 DatabaseFieldName=attribute7)"));
}

TEST_F(MasterDataSections, TheAgentFilterLoadsOnlyTheAgentsClients) {
    Preferences::standard().setString(keys::pref_agente, "AG001,AG002");
    std::string clients = "<ClientiFornitori>" + client("B1", "C1", "<A Codice=\"AG002\"/>") +
                          client("B2", "C2", "<A Codice=\"AG009\"/>") + "<ClienteFornitore BarCode=\"B3\">"
                          "<Codice>C3</Codice></ClienteFornitore></ClientiFornitori>";
    auto filtered = load(document(clients, "1"));
    EXPECT_EQ(filtered->clientiCaricati(), 1);
    EXPECT_EQ(text("SELECT codice FROM Cliente"), "C1");

    Preferences::standard().setString(keys::pref_agente, "AG01");
    auto all = load(document(clients, "2"));
    EXPECT_EQ(all->clientiCaricati(), 3);
}
