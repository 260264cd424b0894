// The run: documents fetched over HTTP in order, the freshness rule, the result and its alert.
#include "loader/LoadResultAlert.h"
#include "loader/LoaderTestSupport.h"

using namespace torvane;
using namespace torvane::test;

namespace {

const std::string kClienti =
    "<ClientiFornitori><ClienteFornitore BarCode=\"B1\"><Codice>C00001</Codice>"
    "<RagioneSociale1>Rossi</RagioneSociale1></ClienteFornitore></ClientiFornitori>";
const std::string kArticoli =
    "<Articoli><Articolo BarCode=\"A1\"><Codice>ART1</Codice><Colori><Colore BarCode=\"C1\" Codice=\"01\"/>"
    "</Colori></Articolo></Articoli>";
const std::string kListini =
    "<Listini><Listino BarCode=\"L1\"><Descrizione>Base</Descrizione><Prezzi>"
    "<Prezzo Articolo=\"ART1\" VarComm=\"--\" Valore=\"10,00\"/></Prezzi></Listino></Listini>";
const std::string kGiacenze = "<Giacenze><Giacenza Art=\"ART1\" Col=\"01\"><Tipo Descr=\"Pezza 1\" Qta=\"12.5\"/>"
                              "</Giacenza></Giacenze>";

struct CaricatoreRun : LoaderFixture {
    DocumentServer server;
    void serverPreferences(const std::string& path, bool fourSteps) {
        auto& prefs = Preferences::standard();
        prefs.setString(keys::pref_HTTPSERVER, server.url(path));
        prefs.setString(keys::pref_aziendaAttiva, "01");
        prefs.setBool(keys::pref_downloadFourStepsEnabled, fourSteps);
    }
};

}  // namespace

TEST_F(CaricatoreRun, FourStepsAreFetchedInOrderLabelledAndTheirCountersAddUp) {
    serverPreferences("/", true);
    server.serve("/01.LEV1.xml", document(kClienti));
    server.serve("/01.LEV2.xml", document(kArticoli));
    server.serve("/01.LEV3.xml", document(kListini));
    server.serve("/01.LEV4.xml", document(kGiacenze));
    RecordingProgress progress;
    auto loader = newLoader();
    loader->downloadWithProgressView(&progress);

    EXPECT_EQ(loader->result(), 0);
    EXPECT_EQ(server.requested(),
              (std::vector<std::string>{"/01.LEV1.xml", "/01.LEV2.xml", "/01.LEV3.xml", "/01.LEV4.xml"}));
    EXPECT_EQ(progress.label1, (std::vector<std::string>{"Step 1 di 4", "Step 2 di 4", "Step 3 di 4", "Step 4 di 4"}));
    EXPECT_EQ((std::vector<int>{loader->clientiCaricati(), loader->articoliCaricati(), loader->prezziCaricati(),
                                loader->giacenzeCaricate()}),
              (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(count("Cliente"), 1) << "later steps do not wipe what earlier steps loaded";
    EXPECT_EQ(count("Prezzo"), 1);
    EXPECT_TRUE(log->contains("Documento 01.LEV4.xml elaborato perche' il Timestamp (20260101000000) e' piu' giovane "
                              "(ultimo caricato : ) !!!"));
    EXPECT_TRUE(log->contains("sleeping ..."));
    auto alert = LoadResultAlert::forLoader(*loader);
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title, "Completato !!");
    EXPECT_EQ(alert->message.rfind("Per essere precisi, ho caricato\nClienti:1 Listini:1 Prezzi:1 Articoli:1 Colori:1 "
                                   "Giacenze:1 Tags:0 in ",
                                   0),
              0u)
        << alert->message;
}

TEST_F(CaricatoreRun, TheSameDocumentTwiceIsLoadedOnceAndANewerOneAgain) {
    serverPreferences("/", false);
    server.serve("/01.L1.xml", document(kClienti, "20260101000000"));
    auto first = newLoader();
    first->downloadWithProgressView(nullptr);
    ASSERT_EQ(first->result(), 0);
    EXPECT_EQ(marker(), "20260101000000");

    RecordingProgress progress;
    auto second = newLoader();
    second->downloadWithProgressView(&progress);
    EXPECT_EQ(second->result(), 0);
    EXPECT_EQ(second->tagsCaricati(), -1);
    EXPECT_EQ(progress.label2.back(), "Dati non aggiornati. Questi li ho gia' caricati ...");
    EXPECT_EQ(LoadResultAlert::forLoader(*second)->message, "I dati risultano aggiornati");
    EXPECT_EQ(second->clientiCaricati(), 0);

    server.serve("/01.L1.xml", document(kClienti, "20260102000000"));
    auto third = newLoader();
    third->downloadWithProgressView(nullptr);
    EXPECT_EQ(third->clientiCaricati(), 1);
    EXPECT_EQ(count("Cliente"), 1);
}

TEST_F(CaricatoreRun, AFailedStepIsNotHiddenByAGoodOneAfterIt) {
    serverPreferences("/", true);
    // LEV1 is missing (404), LEV3 is an empty body; LEV2 and LEV4 load.
    server.serve("/01.LEV2.xml", document(kClienti));
    server.serve("/01.LEV3.xml", "");
    server.serve("/01.LEV4.xml", document(kArticoli));
    auto loader = newLoader();
    loader->downloadWithProgressView(nullptr);
    EXPECT_EQ(loader->result(), 1) << "the first failure is the run's result";
    EXPECT_EQ(count("Cliente"), 1);
    EXPECT_EQ(count("Articolo"), 1);
    EXPECT_TRUE(log->contains("Errore dati inesistenti (ZERO bytes)"));
    EXPECT_EQ(LoadResultAlert::forLoader(*loader)->title, "Errore connessione!!!");
}

TEST_F(CaricatoreRun, NoDataFromTheNetworkIsAConnectionErrorAndTouchesNothing) {
    load(document(kClienti));
    server.serve("/error.xml", "<html><body>Internal error</body></html>", 500);
    for (const std::string path : {"/slow.xml", "/cut.xml", "/missing.xml", "/error.xml"}) {
        auto loader = newLoader();
        loader->downloadDocuments({CaricatoreDatabase::urlSource(server.url(path), std::chrono::milliseconds(300))},
                                  nullptr);
        EXPECT_EQ(loader->result(), 1) << path;
    }
    // Nothing listening at all.
    auto loader = newLoader();
    loader->downloadDocuments({CaricatoreDatabase::urlSource("http://127.0.0.1:1/01.L1.xml")}, nullptr);
    EXPECT_EQ(loader->result(), 1);
    EXPECT_EQ(count("Cliente"), 1);
    EXPECT_TRUE(db->doCommit());
}

TEST_F(CaricatoreRun, UnusableServerPreferencesShowAnAlertAndFetchNothing) {
    Preferences::standard().setString(keys::pref_HTTPSERVER, "");
    auto loader = newLoader();
    loader->downloadWithProgressView(nullptr);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_FALSE(alerts[0].title);
    EXPECT_EQ(alerts[0].message, "Manca l'indirizzo HTTP !!!");
    EXPECT_EQ(alerts[0].buttons, std::vector<std::string>{"Continua"});
    EXPECT_EQ(loader->result(), 0);
    EXPECT_TRUE(server.requested().empty());
}

TEST(LoadResultAlertTest, EveryResultHasItsAlertAndCountersShowOnlyWhenSet) {
    CaricatoreDatabase fresh;
    EXPECT_EQ(LoadResultAlert::forLoader(fresh)->message, "Per essere precisi, ho caricato\nTags:0 in 0 sec.");
    EXPECT_EQ(LoadResultAlert::forLoader(fresh)->buttons, std::vector<std::string>{"Ok"});
}
