// The client list and the article list through torvane-cli, their log lines read in the
// script's log: a search of several words, an emptied search, and an article list whose photo
// server never answers (every row asks for a photo), used at once.
#include <gtest/gtest.h>

#include "support/CliFolder.h"
#include "support/SilentServer.h"

using namespace torvane::test;

namespace {

struct ListsScript : CliFolder {};

TEST_F(ListsScript, SearchesCountTheirClientsAndTheArticleListNeverWaitsForPhotos) {
    SilentServer silent;
    defaults({"pref_FOTOURL", silent.url()});
    defaults({"pref_forzaDownloadFotoEnabled", "YES"});
    auto run = cli({"script", "--verbose", "--company", "01", "-"}, R"S(tap 0 0
search "prato ROSSI"
expect "Rossi Tessuti"
expect-not "Bianchi Filati"
search
expect "Bianchi Filati"
tap 0 0
tap 2 0
expect "ART1"
tap 0 0
)S");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string log = run.out + run.err;
    for (const char* line : {"Trovati N.1 Clienti", "Trovati N.3 Clienti", "Listino esistente: (null)   Listino passato: L01",
                             "Colori presenti x Articolo ART1 N. 2", "\n    Giacenze presenti x Colore 001 N. ",
                             "Articolo selezionato: ART1"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
}

}  // namespace
