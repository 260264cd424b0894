// Parameters with the preferences they set, stock, statistics and exposure.
#include "loader/LoaderTestSupport.h"

using namespace torvane;
using namespace torvane::test;

using StockAndParameters = LoaderFixture;

namespace {

std::string parametro(const std::string& attributo, const std::string& valore) {
    return "<Parametro Attributo=\"" + attributo + "\"><Valore>" + valore + "</Valore></Parametro>";
}

const std::string kClienti =
    "<ClientiFornitori><ClienteFornitore BarCode=\"B1\"><Codice>C1</Codice></ClienteFornitore>"
    "<ClienteFornitore BarCode=\"B2\"><Codice>C2</Codice></ClienteFornitore></ClientiFornitori>";

}  // namespace

TEST_F(StockAndParameters, ParametersReplaceTheirKindsAndSetThePreferences) {
    load(document("<Parametri>" + parametro("DES-1", "a;b") + parametro("SET-EMAILXML", "x@y.it") +
                  parametro("OBB-NOTE", "S") + "</Parametri>", "1"));
    ASSERT_EQ(text("SELECT COUNT(*) FROM Parametro WHERE attributo = 'DES-1'"), "1");
    auto& prefs = Preferences::standard();
    prefs.setString("pref_EMAILXML", "cambiata");
    auto loader = load(document(
        "<Parametri>" + parametro("set-FOTOURL", "http://foto/") + parametro("SWI-INVIOMAILENABLED", "SI") +
            parametro("SWI-STAMPAENABLED", "si") + parametro("SWI-VUOTO", "") +
            parametro("SWI-MODALITAFIERAENABLED", "S") + parametro("NUM-COPIE", "12pezzi") +
            parametro("SYSTEM_ProgressivoOrdine", "1") + parametro("DIC-MASTRO01", "Clienti") + "</Parametri>",
        "2"));
    ASSERT_EQ(loader->result(), 0);
    EXPECT_EQ(text("SELECT COUNT(*) FROM Parametro WHERE attributo IN ('DES-1', 'OBB-NOTE')"), "0");
    EXPECT_EQ(prefs.stringForKey("pref_EMAILXML"), "x@y.it") << "a stored SET- record is applied again";
    EXPECT_EQ(prefs.stringForKey("pref_FOTOURL"), "http://foto/");
    EXPECT_TRUE(prefs.boolForKey("pref_INVIOMAILENABLED"));
    EXPECT_FALSE(prefs.boolForKey("pref_STAMPAENABLED"));
    EXPECT_FALSE(prefs.boolForKey("pref_VUOTO")) << "an empty switch reads as off";
    EXPECT_EQ(prefs.integerForKey("pref_COPIE"), 12);
    EXPECT_TRUE(prefs.boolForKey(keys::pref_MODALITAFIERAENABLED));
    EXPECT_EQ(text("SELECT COUNT(*) FROM Parametro WHERE attributo = 'SWI-MODALITAFIERAENABLED'"), "0");
    EXPECT_EQ(text("SELECT COUNT(*) FROM Parametro WHERE attributo = 'SYSTEM_ProgressivoOrdine'"), "0");
    EXPECT_EQ(text("SELECT valore FROM Parametro WHERE attributo = 'DIC-MASTRO01'"), "Clienti");
    EXPECT_TRUE(log->contains("    pref_COPIE = 12"));
    // The preferences reached their file.
    Preferences reread(prefs.filePath());
    EXPECT_EQ(reread.stringForKey("pref_FOTOURL"), "http://foto/");
}

TEST_F(StockAndParameters, AStockOnlyDocumentReplacesTheStockAndNothingElse) {
    load(document(kClienti + "<Articoli><Articolo BarCode=\"8001\"><Codice>ART1</Codice><Colori>"
                             "<Colore BarCode=\"C1\" Codice=\"01\"/></Colori></Articolo></Articoli>"
                             "<Listini><Listino BarCode=\"L1\"/></Listini>"
                             "<Giacenze><Giacenza Art=\"ART1\" Col=\"01\"><Tipo Descr=\"vecchia\"/></Giacenza></Giacenze>",
                  "1"));
    auto loader = load(document(
        "<Giacenze><Giacenza Art=\"ART1\" Col=\"01\"><Tipo Descr=\"P1\" Um=\"MT\" Qta=\"12.5\" Pz=\"2\" Pta=\"L7\" "
        "Lav=\"F\"/><Tipo Um=\"MT\"/><Altro/></Giacenza>"
        "<Giacenza Art=\"NUOVO\" Col=\"99\"><Tipo Descr=\"P2\" Qta=\"1,5\"/></Giacenza></Giacenze>",
        "2"));
    ASSERT_EQ(loader->result(), 0);
    EXPECT_EQ(loader->giacenzeCaricate(), 2);
    EXPECT_EQ(count("Cliente"), 2);
    EXPECT_EQ(text("SELECT COUNT(*) FROM Listino WHERE barCode = 'L1'"), "1");
    EXPECT_EQ(count("Giacenza"), 2);
    EXPECT_EQ(text("SELECT um || quantita || pezzi || partita || lavorazione FROM Giacenza WHERE descrizione = 'P1'"),
              "MT12.52L7F");
    EXPECT_EQ(text("SELECT quantita FROM Giacenza WHERE descrizione = 'P2'"), "0") << "stock numbers use a point";
    EXPECT_EQ(text("SELECT descrizione1 || flagCreatoDaMe FROM Articolo WHERE codice = 'NUOVO'"),
              "[NUOVO] Non in collezione1");
    EXPECT_EQ(text("SELECT descrizione || varianteCommerciale FROM Colore WHERE codice = '99'"),
              "[99] Non in collezione--");
    EXPECT_EQ(text("SELECT COUNT(*) FROM ArticoloListino al JOIN Listino l ON al.listino = l.id "
                   "WHERE l.barCode = 'STOCK-SUPER-PARTES' AND l.tipo = 'S'"),
              "2");
}

TEST_F(StockAndParameters, StatisticsAreReplacedPerClientWithoutTheTccType) {
    load(document(kClienti, "1"));
    auto stats = [](const std::string& client, const std::string& tipi) {
        return "<StoricoVendite Codice=\"" + client + "\"><Divisa>EUR</Divisa><Periodo Codice=\"2025\" Val=\"100.5\"/>"
               "<Collezione Codice=\"PE\"><Um>MT</Um><Articoli><A Codice=\"ART1\"><Business Codice=\"B\">" + tipi +
               "</Business></A></Articoli></Collezione></StoricoVendite>";
    };
    load(document("<Statistiche>" +
                      stats("C1", "<Tipo Codice=\"ORD\" Qta=\"10\" Val=\"100.50\" Pz=\"2\"/><Tipo Codice=\"T+CC\" "
                                  "Qta=\"5\" Val=\"50\" Pz=\"1\"/><Tipo Codice=\"FAT\" Qta=\"1.5\"/>") +
                      stats("C2", "<Tipo Codice=\"T+CC\" Qta=\"5\" Val=\"50\" Pz=\"1\"/>") +
                      stats("IGNOTO", "<Tipo Codice=\"ORD\" Qta=\"1\"/>") + "</Statistiche>",
                  "2"));
    EXPECT_EQ(count("StatCliente"), 2);
    EXPECT_EQ(text("SELECT totQuantita || '/' || totValore || '/' || totPezzi || c.divisa FROM StatCollezione c JOIN "
                   "StatCliente s ON c.cliente = s.id WHERE s.codice = 'C1'"),
              "11.5/100.5/2EUR");
    EXPECT_EQ(text("SELECT totQuantita || totValore || totPezzi FROM StatCollezione c JOIN StatCliente s ON "
                   "c.cliente = s.id WHERE s.codice = 'C2'"),
              "000");
    load(document("<Statistiche>" + stats("C1", "") + "</Statistiche>", "3"));
    EXPECT_EQ(count("StatCliente"), 2) << "C2 keeps its statistics";
    EXPECT_EQ(text("SELECT COUNT(*) FROM StatTipo"), "1");
}

TEST_F(StockAndParameters, ExposureIsReplacedWholesale) {
    load(document(kClienti, "1"));
    load(document("<Esposizioni><Esposizione Codice=\"C2\"><FlagScaduto>S</FlagScaduto></Esposizione></Esposizioni>",
                  "2"));
    load(document("<Esposizioni><Esposizione Codice=\"C1\"><FlagScaduto>SI</FlagScaduto><FlagOrdini>NO</FlagOrdini>"
                  "<FlagFuoriFido>X</FlagFuoriFido><Tipo Des=\"Scaduto\" Div=\"EUR\" Val=\"1.234,50\" Attr=\"S\">"
                  "<Dettaglio/></Tipo></Esposizione><Esposizione Codice=\"IGNOTO\"/></Esposizioni>",
                  "3"));
    EXPECT_EQ(count("EsposizioneCliente"), 1);
    EXPECT_EQ(text("SELECT codice || flagScaduto || flagOrdini || ifnull(flagFuoriFido, '-') FROM EsposizioneCliente"),
              "C110-");
    EXPECT_EQ(text("SELECT valore FROM Esposizione"), "0") << "1.234,50 becomes 1.234.50, not a number";
    EXPECT_EQ(count("EsposizioneRiga"), 0);
}
