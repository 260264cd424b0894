// Sizes, articles and colours, price lists with agents and prices, variants, groups, surcharges.
#include "loader/LoaderTestSupport.h"

using namespace torvane;
using namespace torvane::test;

using CatalogueSections = LoaderFixture;

TEST_F(CatalogueSections, SizeGroupsKeepTheirSizesAndTheDictionaryIsOnlyRead) {
    db->connection()->execute("INSERT INTO \"TagliaDizionario\" (area) VALUES ('vecchia')");
    db->commit();
    auto loader = load(document(
        "<Taglie><Dizionario><Descrizioni Area=\"EU\" Linea=\"L\" TipoProdotto=\"T\"><Taglia Codice=\"40\" "
        "Descrizione=\"S\"/></Descrizioni></Dizionario>"
        "<GruppoTaglie Codice=\"G1\"><Descrizione>Donna</Descrizione><TaglieDelGruppo>"
        "<T Codice=\"40\" Descrizione=\"Small\" Sequenza=\"2\"/><T Codice=\"42\" Descrizione=\"\"/><T Descrizione=\"?\"/>"
        "</TaglieDelGruppo></GruppoTaglie></Taglie>"));
    ASSERT_EQ(loader->result(), 0);
    EXPECT_EQ(count("TagliaDizionario"), 0);
    EXPECT_EQ(count("TagliaDettaglio"), 2);
    EXPECT_EQ(text("SELECT descrizione || sequenza FROM TagliaDettaglio WHERE codice = '40'"), "Small2");
    EXPECT_EQ(text("SELECT descrizione || sequenza FROM TagliaDettaglio WHERE codice = '42'"), "420");
    EXPECT_EQ(text("SELECT descrizione FROM TagliaGruppo"), "Donna");
    EXPECT_TRUE(log->contains("Dizionario taglie Area:EU Linea:L Tipo=T"));
}

TEST_F(CatalogueSections, ArticlesAndColoursFollowTheirRules) {
    auto loader = load(document(
        "<Articoli><Articolo BarCode=\"8001\"><Codice>ART1</Codice><PesoGr>120,5</PesoGr><FuoriListino>SI"
        "</FuoriListino><Colori><Colore BarCode=\"C1\" Codice=\"01\" Descrizione=\"Rosso\" VarComm=\"V1\"/>"
        "<Colore BarCode=\"C1b\" Codice=\"01\" Descrizione=\"Rosso scuro\"/><Colore BarCode=\"C2\" Codice=\"02\"/>"
        "<Colore Codice=\"03\"/></Colori></Articolo>"
        "<Articolo BarCode=\"8002\"><Codice>ART2</Codice><FuoriListino>forse</FuoriListino></Articolo></Articoli>"));
    ASSERT_EQ(loader->result(), 0);
    EXPECT_EQ(loader->articoliCaricati(), 2);
    EXPECT_EQ(loader->coloriCaricati(), 2);
    EXPECT_EQ(text("SELECT pesoGr || flagFuoriListino FROM Articolo WHERE codice = 'ART1'"), "120,51");
    EXPECT_EQ(text("SELECT flagFuoriListino FROM Articolo WHERE codice = 'ART2'"), std::nullopt);
    EXPECT_EQ(text("SELECT descrizione FROM Colore WHERE codice = '01'"), "Rosso scuro") << "the second one wins";
    EXPECT_EQ(text("SELECT varianteCommerciale FROM Colore WHERE codice = '01'"), std::nullopt);
    EXPECT_EQ(text("SELECT descrizione FROM Colore WHERE codice = '02'"), "02");
}

TEST_F(CatalogueSections, PriceListsTakeTheirPricesAgentsAndStockFlags) {
    auto loader = load(document(
        "<ClientiFornitori/><Agenti><Agente Codice=\"AG1\"/></Agenti>"
        "<Taglie><GruppoTaglie Codice=\"G1\"/></Taglie>"
        "<Articoli><Articolo BarCode=\"8001\"><Codice>ART1</Codice></Articolo>"
        "<Articolo BarCode=\"8002\"><Codice>ART2</Codice></Articolo></Articoli>"
        "<Listini><Listino BarCode=\"L1\"><Descrizione>Base</Descrizione><Agenti><A Codice=\"AG1\"/><A Codice=\"AGX\"/>"
        "</Agenti><FlagStock>SI</FlagStock><Prezzi>"
        "<P Articolo=\"ART1\" VarComm=\"--\" Valore=\"12,50\" Magg=\"M1\" ValMagg=\"1,5\"/>"
        "<P Articolo=\"ART1\" VarComm=\"V2\" Valore=\"1.2.3\"/>"
        "<P Articolo=\"ART2\" Taglie=\"G1\"/><P Articolo=\"NESSUNO\" Valore=\"3\"/></Prezzi></Listino>"
        "<Listino BarCode=\"L2\"><FlagStock>NO</FlagStock><FlagStock></FlagStock></Listino>"
        "<Listino BarCode=\"L1\"><Prezzi><P Articolo=\"ART2\" Valore=\"7\"/></Prezzi></Listino>"
        "<Listino BarCode=\"L3\"><FlagStockSuperPartes>S</FlagStockSuperPartes></Listino></Listini>"));
    ASSERT_EQ(loader->result(), 0);
    EXPECT_EQ(loader->listiniCaricati(), 3) << "a barcode given twice reaches the same list";
    EXPECT_EQ(loader->prezziCaricati(), 3);
    EXPECT_EQ(text("SELECT valore FROM Prezzo WHERE varianteCommerciale = '--'"), "12.5") << "12,50 is the decimal 12.50";
    EXPECT_EQ(text("SELECT maggiorazione || valoreMaggiorazione FROM Prezzo WHERE varianteCommerciale = '--'"), "M11.5");
    EXPECT_EQ(text("SELECT valore FROM Prezzo WHERE varianteCommerciale = 'V2'"), "0");
    EXPECT_TRUE(log->contains("Valore numerico non valido per Valore: '1.2.3' (letto come 0)"));
    EXPECT_EQ(text("SELECT tagliaGruppo FROM Articolo WHERE codice = 'ART2'"), "G1");
    EXPECT_EQ(text("SELECT COUNT(*) FROM Articolo a JOIN TagliaGruppo g ON a.taglieCollegate = g.id"), "1");
    EXPECT_EQ(text("SELECT tipo FROM Listino WHERE barCode = 'L1'"), "S");
    EXPECT_EQ(text("SELECT tipo FROM Listino WHERE barCode = 'L2'"), "N") << "an empty flag changes nothing";
    EXPECT_EQ(text("SELECT COUNT(*) FROM Listino WHERE barCode = 'STOCK-SUPER-PARTES'"), "1");
    EXPECT_EQ(count("Agente_Listino"), 1);
    EXPECT_TRUE(log->contains("    Agente AG1 aggiunto al Listino L1"));
}

TEST_F(CatalogueSections, VariantsGroupsAndSurchargesAddToWhatIsStored) {
    std::string sections =
        "<VariantiCommerciali><VarianteCommerciale Codice=\"V1\"><DescrizioneIng>Red</DescrizioneIng>"
        "</VarianteCommerciale></VariantiCommerciali>"
        "<GruppiCommerciali><GruppoCommerciale Codice=\"G\"><Variante Codice=\"a\"><Descrizione>A</Descrizione>"
        "</Variante><Variante Codice=\"b\"/><Altro/><Variante Codice=\"c\"/></GruppoCommerciale></GruppiCommerciali>"
        "<Maggiorazioni><Maggiorazione Codice=\"M1\"><Range From=\"10,5\"/></Maggiorazione></Maggiorazioni>";
    load(document(sections, "1"));
    EXPECT_EQ(text("SELECT descrizioneING FROM VarianteCommerciale"), "Red");
    EXPECT_EQ(text("SELECT COUNT(*) FROM GruppoCommerciale WHERE codice = 'G'"), "3");
    EXPECT_EQ(text("SELECT descrizione FROM GruppoCommerciale WHERE variante = 'a'"), "A");
    EXPECT_EQ(text("SELECT rangeFrom FROM Maggiorazione"), "10.5");
    EXPECT_EQ(text("SELECT rangeTo FROM Maggiorazione"), std::nullopt) << "a missing bound stays absent";
    // Without a price-list section nothing wipes them: a second document adds.
    load(document(sections, "2"));
    EXPECT_EQ(count("VarianteCommerciale"), 2);
    load(document("<Listini/>", "3"));
    EXPECT_EQ(count("VarianteCommerciale"), 0);
    EXPECT_EQ(count("Maggiorazione"), 0);
}
