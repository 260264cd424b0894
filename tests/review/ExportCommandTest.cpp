#include <gtest/gtest.h>

#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "store/Database.h"
#include "support/Process.h"
#include "support/TempDir.h"

using namespace torvane;

TEST(ExportCli, WritesEachDocumentOfAStoredOrderAndRefusesWhatItCannot) {
    test::TempDir dir;
    {
        // The company's store in the data folder, as the application leaves it.
        Paths::setRoot(dir.path().string());
        auto db = Database::openFile(Paths::ensure(Paths::documents()) + "/Database42.sqllite", "42");
        ASSERT_TRUE(db);
        auto cliente = db->createClienteWithBarCode("C01");
        cliente->setCodice(std::string("C01"));
        cliente->setRagioneSociale1(std::string("Rossi & Figli"));
        auto testata = db->createSceltaTestataWithCodice(17);
        testata->setCliente(std::string("C01"));
        testata->setListinoTestata(std::string("L01"));
        auto riga = db->createSceltaRigaForSceltaTestata(*testata);
        riga->setArticolo(std::string("ART1"));
        riga->setQuantita(2);
        db->commit();
        Paths::setRoot("");
    }
    auto run = [&](std::vector<std::string> words) {
        words.insert(words.begin(), {"--data-dir", dir.path().string()});
        return test::runProcess(TORVANE_CLI_PATH, words);
    };

    std::string xml = dir.file("o.xml");
    auto written = run({"export", "--company", "42", "--order", "17", "--format", "xml", "--out", xml});
    ASSERT_EQ(written.exitCode, 0) << written.err;
    EXPECT_NE(test::readFile(xml).find("<Ordine Progressivo=\"17\">"), std::string::npos);

    auto text = run({"export", "--company", "42", "--order", "17", "--format", "txt"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out.rfind("Ordine: Rossi & Figli   Listino: \n", 0), 0u) << text.out;

    auto html = run({"export", "--company", "42", "--order", "17", "--format", "html"});
    EXPECT_EQ(html.exitCode, 0) << html.err;
    EXPECT_NE(html.out.find("Cliente: [C01]"), std::string::npos);
    auto pdf = run({"export", "--company", "42", "--order", "17", "--format", "pdf", "--out", dir.file("o.pdf")});
    EXPECT_EQ(pdf.exitCode, 0) << pdf.err;
    EXPECT_EQ(test::readFile(dir.file("o.pdf")).rfind("%PDF-", 0), 0u);

    EXPECT_EQ(run({"export", "--company", "42", "--order", "99", "--format", "xml"}).exitCode, 1);
    EXPECT_EQ(run({"export", "--company", "42", "--order", "17", "--format", "doc"}).exitCode, 2);
    EXPECT_EQ(run({"export", "--company", "42", "--order", "x17", "--format", "xml"}).exitCode, 2);
    EXPECT_EQ(run({"export", "--company", "42", "--order", "17", "--format", "xml", "--out", dir.file("no/o.xml")})
                  .exitCode,
              1);
}
