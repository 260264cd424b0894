// The script runner through the real torvane-cli, on a store the loader filled from a small
// catalogue: clients C001 "Rossi Tessuti" and C002 "Bianchi Filati" on price list L01
// "Listino Fiera", C003 on L02 "Listino Stock" (type S); ART1 (100001: colours 001 = 10000
// and 002 = 10001, 12.50), ART2 (200001, sizes S M L, colour roots 10 and 20, 5.00) and ART3
// (300001: colour 001 = 30000 whose variant V9 has no price).
#include <gtest/gtest.h>

#include "support/CliFolder.h"

using namespace torvane::test;

namespace {

struct ScriptCli : CliFolder {
    void SetUp() override {
        CliFolder::SetUp();
        defaults({"pref_TCCENABLED", "YES", "--type", "bool"});
    }
    ProcessResult script(const std::string& text) {
        writeFile(dir.file("prova.txt"), text);
        return cli({"script", "--company", "01", dir.file("prova.txt")});
    }
};

TEST_F(ScriptCli, AnOrderIsTakenByScansTapsPickersAndTyping) {
    auto run = script(R"S(# the client from the list, found by a search
tap 0 0
expect "Bianchi Filati"
search ross
expect-not Bianchi
tap 0 0
expect "<0: Rossi Tessuti>"
expect "<1: Listino Fiera>"
# the price list by the picker, then by a scan
tap 1 0
pick "Listino Stock"
expect "<1: Listino Stock>"
scan L01
expect "<1: Listino Fiera>"
# the article by a scan, the colour by the picker
scan 100001
expect "V1 | [V1] | EUR |    12.50"
tap 3 0
expect "== Colori ART1 =="
pick 1
expect "<3: 002>"
type 4 3
button Conferma
expect "R. 2"
expect "*SCELTA* (1)"
# the client cannot change once the order has lines: the alert is closed with its button
tap 0 0
expect-alert "Non puoi cambiare il cliente. Termina la scelta iniziata !!!"
scan 100001
button T+CC
expect "NR | <4: 1>"
button Conferma
expect "R. 3"
)S");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("(avviso chiuso con Continua)"), std::string::npos) << run.out;

    // What the screens committed stays: the next run takes the open order up again.
    auto again = script("expect \"R. 3\"\nexpect \"*SCELTA* (2)\"\n");
    EXPECT_EQ(again.exitCode, 0) << again.out << again.err;
}

TEST_F(ScriptCli, TheSizeGridIsDrivenByItsSteppersAndFields) {
    auto run = script(R"S(tap 0 0
tap 0 1
scan 200001
expect "Taglie | S | M | L | Tot."
tap 3 1
expect "== ART2 =="
stepper 0 0 2
type 10002 4
expect "S | <10001: 2> | {stepper 2}"
expect "M | <10002: 4> | {stepper 4}"
back
expect "Q.tà taglie | <4: 6>"
button Conferma
expect "R. 2"
)S");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
}

TEST_F(ScriptCli, AClientAddedThroughTheRegistryTakesAnOrder) {
    defaults({"pref_ANAGRAFICAESTESA", "YES", "--type", "bool"});
    auto run = script(R"S(tap 0 0
button +
expect-alert "ALERT Tipo Cliente da aggiungere ? |  | [ITALIA|CEE|EXTRACEE|PRIVATO|Scegli una delle opzioni]"
answer ITALIA
expect "schede del modulo: *Generale* | Commerc. | Dest. | Contatti"
type 0 "Tessitura Nuova"
type 300 Prato
type 600 12345678903
tab Dest.
expect "-- 0 Tipo destinazione --"
button Conferma
expect "NEW0001 | Tessitura Nuova | Prato | ITA (i)"
search nuova
tap 0 0
expect "<0: Tessitura Nuova>"
)S");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
}

TEST_F(ScriptCli, TheShortFormCutsItsFieldsAndTakesAPhoto) {
    writeFile(dir.file("rotta.png"), "\x89PNG\r\n\x1a\nrotta");
    auto run = script("tap 0 0\nbutton +\nexpect \"== Nuovo  Cliente ==\"\ntype 9 Prato\nexpect \"<9: Pr>\"\n"
                      "button \"Scatta foto\"\nphoto " + dir.file("rotta.png") +
                      "\nexpect-alert \"ALERT Errore | L'immagine non e' leggibile\"\nanswer Continua\n");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
}

TEST_F(ScriptCli, AStockLotChosenFromTheArticleListGivesTheLineItsColourAndQuantity) {
    auto run = script(R"S(tap 0 0
tap 0 1
tap 2 0
expect "ART1 | [100001] | Lana cardata (i)"
accessory 0 0
expect "== ART1 =="
expect "Pezza 21 | MT |    40.00"
tap 1 0
expect "<2: ART1> (i)"
expect "<3: 002>"
expect "MT | <4: 40.00>"
button Conferma
expect "R. 2"
)S");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
}

TEST_F(ScriptCli, FailuresExitWithTheirLineAndKind) {
    auto failed = script("show\n\nexpect \"Non c'e'\"\n");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("riga 3: attesa non soddisfatta (expect \"Non c'e'\")"), std::string::npos) << failed.err;
    EXPECT_NE(failed.err.find("== SCELTA =="), std::string::npos) << "what was shown comes with it";

    const std::vector<std::pair<std::string, std::string>> errors = {
        {"# commento\nsaluta\n", "riga 2: errore nello script (saluta): comando sconosciuto: saluta"},
        {"tap 0\n", "uso: tap S R"},
        {"tap 0 9\n", "la sezione 0 non ha la riga 9"},
        {"tap 99 0\n", "non c'e' la sezione 99"},
        {"tap -1 x\n", "la sezione vuole un numero"},
        {"type 42 ciao\n", "nessun campo con tag 42"},
        {"button Inesistente\n", "nessun pulsante Inesistente"},
        {"answer OK\n", "nessun avviso a cui rispondere"},
        {"pick 0\n", "nessuna lista di scelta in primo piano"},
        {"tab Magazzino\n", "non c'e' la scheda Magazzino"},
        {"expect \"aperta\n", "virgolette non chiuse"},
        {"scan \xff\xfe\n", "la riga non e' testo UTF-8"},
        {"tap 1 0\n", "lo script finisce con un avviso senza risposta: ALERT Attenzione | Prima imposta un Cliente !!!"},
        {std::string(100000, 'x') + "\n", "comando sconosciuto: xxxxxxxx"},
    };
    for (const auto& [text, message] : errors) {
        auto run = script(text);
        EXPECT_NE(run.err.find(message), std::string::npos) << text.substr(0, 40) << " -> " << run.err.substr(0, 300);
        EXPECT_EQ(run.exitCode, 2) << text.substr(0, 40);
        EXPECT_LT(run.err.size(), 2000u) << "a long line is not repeated whole";
    }
}

TEST_F(ScriptCli, TheShellGoesOnAfterEveryMistakeAndAsksAgainForAPromptsAnswer) {
    const std::string typed = "saluta\ntap 9 9\n\xff\nhelp\ntap 0 0\ntap 0 0\nscan 300001\nscan 30000\nshow\n"
                              "answer \"Memorizza prezzo e continua\" 7\nexpect \"V9 | [V9] | EUR |     7.00\"\n";
    auto run = cli({"shell", "--company", "01"}, typed);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    for (const char* shown : {"comando sconosciuto: saluta", "non c'e' la sezione 9", "la riga non e' testo UTF-8",
                              "expect-alert TESTO", "l'avviso attende 'answer PULSANTE [CAMPO...]', non: show"})
        EXPECT_NE(run.out.find(shown), std::string::npos) << shown << "\n" << run.out;
    EXPECT_EQ(run.out.find("non trovo"), std::string::npos) << run.out;
}

}  // namespace
