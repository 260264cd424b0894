// A record the store refuses in mid-load: its own children go with it, the rest loads.
#include "loader/LoaderTestSupport.h"

using namespace torvane;
using namespace torvane::test;

using StoreRefusal = LoaderFixture;

TEST_F(StoreRefusal, ARefusedRecordTakesItsChildrenAndTheLoadGoesOn) {
    for (const char* trigger :
         {"CREATE TEMP TRIGGER refuseArticle BEFORE INSERT ON Articolo WHEN NEW.codice = 'BAD' "
          "BEGIN SELECT RAISE(ABORT, 'rifiutato'); END",
          "CREATE TEMP TRIGGER refuseClient BEFORE INSERT ON Cliente WHEN NEW.codice = 'C9' "
          "BEGIN SELECT RAISE(ABORT, 'rifiutato'); END",
          "CREATE TEMP TRIGGER refuseDestination BEFORE INSERT ON Destinazione WHEN NEW.ragioneSociale1 = 'No' "
          "BEGIN SELECT RAISE(ABORT, 'rifiutato'); END"})
        db->connection()->execute(trigger);
    auto colours = [](const std::string& article) {
        return "<Colori><Colore BarCode=\"" + article + "-1\" Codice=\"01\"/><Colore BarCode=\"" + article +
               "-2\" Codice=\"02\"/></Colori>";
    };
    auto loader = load(document(
        "<ClientiFornitori>"
        "<ClienteFornitore BarCode=\"B9\"><Codice>C9</Codice><Destinazioni><Destinazione Codice=\"D1\"/>"
        "</Destinazioni></ClienteFornitore>"
        "<ClienteFornitore BarCode=\"B1\"><Codice>C1</Codice><Destinazioni>"
        "<Destinazione Codice=\"D1\"><RagioneSociale1>No</RagioneSociale1><AttributiAggiuntivi>"
        "<Attributo Codice=\"ATT-01\">x</Attributo></AttributiAggiuntivi></Destinazione>"
        "<Destinazione Codice=\"D2\"><RagioneSociale1>Si</RagioneSociale1></Destinazione>"
        "</Destinazioni><Citta>Prato</Citta></ClienteFornitore></ClientiFornitori>"
        "<Articoli><Articolo BarCode=\"8009\"><Codice>BAD</Codice>" + colours("BAD") + "</Articolo>"
        "<Articolo BarCode=\"8001\"><Codice>ART1</Codice>" + colours("ART1") + "<Um>MT</Um></Articolo></Articoli>"));
    EXPECT_EQ(loader->result(), 0);
    EXPECT_EQ(loader->clientiCaricati(), 1);
    EXPECT_EQ(loader->articoliCaricati(), 1);
    EXPECT_EQ(loader->coloriCaricati(), 2);
    EXPECT_EQ(text("SELECT group_concat(codice) FROM Cliente"), "C1");
    EXPECT_EQ(text("SELECT citta FROM Cliente"), "Prato") << "a value after the children is still written";
    EXPECT_EQ(text("SELECT group_concat(codice) FROM Destinazione"), "D2");
    EXPECT_EQ(count("ClienteInfo"), 0) << "no extra data for a destination that was refused";
    EXPECT_EQ(text("SELECT group_concat(barCode || '@' || articoloPosizione) FROM Colore"), "ART1-1@1,ART1-2@2");
    EXPECT_EQ(text("SELECT um FROM Articolo"), "MT");
}
