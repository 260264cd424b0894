// One document: the envelope checks, the freshness marker, load mode, and hostile input.
#include "loader/LoadResultAlert.h"
#include "loader/LoaderTestSupport.h"

using namespace torvane;
using namespace torvane::test;

namespace {

const std::string kClienti =
    "<ClientiFornitori><ClienteFornitore BarCode=\"B1\"><Codice>C00001</Codice></ClienteFornitore>"
    "</ClientiFornitori>";

std::string manyClients(int n) {
    std::string body = "<ClientiFornitori>";
    for (int i = 0; i < n; ++i)
        body += "<ClienteFornitore BarCode=\"B" + std::to_string(i) + "\"><Codice>C" + std::to_string(i) +
                "</Codice><RagioneSociale1>Ditta</RagioneSociale1></ClienteFornitore>";
    return body + "</ClientiFornitori>";
}

}  // namespace

using DocumentControl = LoaderFixture;

TEST_F(DocumentControl, InputThatIsNotACatalogueIsRefusedBeforeAnythingIsWiped) {
    load(document(kClienti));
    ASSERT_EQ(count("Cliente"), 1);
    std::string good = document(manyClients(3), "20270101000000");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"not XML", "questo non e' XML"},
        {"HTML error page", "<html><head><title>502</title></head><body><h1>Bad Gateway</h1></body></html>"},
        {"truncated", good.substr(0, good.size() / 2)},
        {"no NumeroElement", "<TorvaneMobile><Azienda><Timestamp>2027</Timestamp>" + kClienti + "</Azienda></TorvaneMobile>"},
        {"NumeroElement 0", document(manyClients(3), "20270101000000", "0")},
        {"NumeroElement not a number", document(manyClients(3), "20270101000000", "molti")},
        {"zero bytes", ""},
    };
    for (const auto& [what, xml] : cases) {
        auto loader = load(xml);
        EXPECT_EQ(loader->result(), 3) << what;
        EXPECT_EQ(LoadResultAlert::forLoader(*loader)->title, "Errore caricamento!!!") << what;
        EXPECT_EQ(count("Cliente"), 1) << what;
        EXPECT_TRUE(db->doCommit()) << what;
    }
    EXPECT_TRUE(log->contains("Numero TAG nel documento XML 0"));
    // The truncated document has not taken the newer timestamp for itself.
    EXPECT_EQ(marker(), "20260101000000");
}

TEST_F(DocumentControl, TwoCompaniesShowAnAlertAndLoadNothing) {
    std::string xml = "<TorvaneMobile><NumeroElement>9</NumeroElement><Azienda><Codice>01</Codice><Timestamp>1"
                      "</Timestamp>" + kClienti + "</Azienda><Azienda><Codice>02</Codice></Azienda></TorvaneMobile>";
    auto loader = load(xml);
    EXPECT_EQ(loader->result(), 0);
    EXPECT_EQ(count("Cliente"), 0);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].title, "Attenzione !!!");
    EXPECT_EQ(alerts[0].message, "Dati contenenti troppe Aziende");
    EXPECT_TRUE(log->contains("ERRORE: Ci sono 2 TAG <Azienda>"));
    // Not loaded, so the same document is still welcome once it is fixed.
    EXPECT_EQ(marker(), "");
}

TEST_F(DocumentControl, ADocumentWithoutTimestampIsAlwaysLoaded) {
    load(document(kClienti, ""));
    auto again = load(document(kClienti, ""));
    EXPECT_EQ(again->clientiCaricati(), 1);
    EXPECT_TRUE(log->contains("Documento 01.L1.xml elaborato perche' il Timestamp non c'e' (ma ci dovrebbe essere) !!"));
    EXPECT_EQ(marker(), "");
}

TEST_F(DocumentControl, ALoadThatFailsHalfWayKeepsItsCommittedBatchesAndIsTriedAgain) {
    RecordingProgress failing;
    failing.failAfterBars = 2;  // the first flush's bar update fails
    auto loader = load(document(manyClients(600), "20260301000000", "2000"), "01.L1.xml", &failing);
    EXPECT_EQ(loader->result(), 2);
    EXPECT_EQ(LoadResultAlert::forLoader(*loader)->title, "Errore download!!!");
    EXPECT_TRUE(log->contains("ErrorWhileLoading : pannello guasto"));
    EXPECT_EQ(failing.label2.back(), "Errore Download: pannello guasto");
    EXPECT_TRUE(db->doCommit());
    EXPECT_TRUE(db->doLock());
    EXPECT_EQ(text("PRAGMA synchronous"), "2") << "every commit waits for the disk again";
    long long kept = count("Cliente");
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, 600);
    EXPECT_EQ(marker(), "");

    RecordingProgress progress;
    auto retry = load(document(manyClients(600), "20260301000000", "2000"), "01.L1.xml", &progress);
    EXPECT_EQ(retry->result(), 0);
    EXPECT_EQ(count("Cliente"), 600);
    EXPECT_EQ(text("PRAGMA synchronous"), "2");
    EXPECT_EQ(retry->tagsCaricati(), 1002) << "flushed in batches past 1000 elements; the rest is not added";
    EXPECT_TRUE(log->contains("Sto caricando il cliente C333 Ditta"));
    EXPECT_FLOAT_EQ(progress.bars.back(), 1002.0f / 2000.0f);
}

TEST_F(DocumentControl, SectionsLoadInTheirOwnOrderWhateverTheFileSays) {
    std::string xml = document(
        "<Giacenze><Giacenza Art=\"ART1\" Col=\"01\"><Tipo Descr=\"P1\"/></Giacenza></Giacenze>"
        "<Listini><Listino BarCode=\"L1\"><Prezzi><Prezzo Articolo=\"ART1\" Valore=\"5\"/></Prezzi></Listino></Listini>"
        "<Sconosciuto><Qualcosa/></Sconosciuto>"
        "<Articoli><Articolo BarCode=\"A1\"><Codice>ART1</Codice><Ignoto>x</Ignoto></Articolo></Articoli>"
        "<Agenti><Agente Codice=\"AG1\"/></Agenti>" + kClienti +
        "<Listini><Listino BarCode=\"L2\"/></Listini>");
    auto loader = load(xml);
    ASSERT_EQ(loader->result(), 0);
    EXPECT_EQ(count("Prezzo"), 1) << "prices need the articles, which load first";
    EXPECT_EQ(count("Agente"), 1);
    EXPECT_EQ(text("SELECT descrizione1 FROM Articolo WHERE codice = 'ART1'"), std::nullopt)
        << "the stock found the catalogue's article instead of making one";
    EXPECT_EQ(count("Giacenza"), 1);
    EXPECT_EQ(text("SELECT COUNT(*) FROM Listino WHERE barCode = 'L2'"), "0") << "only the first section of a name";
}

// Records without their keys, duplicate keys and a very long text. (Documents declaring
// entities are refused whole: the command-line load test proves that end to end.)
TEST_F(DocumentControl, OddRecordsLoadAsTheyAre) {
    std::string longText(2'000'000, 'x');
    auto odd = load(document("<Mastri><Mastro Codice=\"01\"/><Mastro Codice=\"01\"/><Mastro/></Mastri>"
                             "<ClientiFornitori><ClienteFornitore><Note>" + longText +
                                 "</Note></ClienteFornitore></ClientiFornitori>"
                                 "<Parametri><Parametro><Valore>1</Valore></Parametro></Parametri>"
                                 "<Giacenze><Giacenza/></Giacenze>",
                             "3"));
    EXPECT_EQ(odd->result(), 0);
    EXPECT_EQ(count("Mastro"), 3) << "duplicates are not detected";
    EXPECT_EQ(text("SELECT COUNT(*) FROM Mastro WHERE codice IS NULL"), "1");
    EXPECT_EQ(text("SELECT length(note) FROM Cliente WHERE codice IS NULL"), "2000000");
    EXPECT_EQ(text("SELECT COUNT(*) FROM Parametro WHERE attributo IS NULL"), "0");
}
