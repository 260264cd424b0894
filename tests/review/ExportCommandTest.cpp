#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <future>

#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "store/Database.h"
#include "support/CliFolder.h"

using namespace torvane;

namespace {
// A data folder holding company 42's store with order 17, as the application leaves it.
struct ExportCli : test::CliData {
    void SetUp() override {
        Paths::setRoot(data);
        auto db = Database::openFile(Paths::ensure(Paths::documents()) + "/Database42.sqllite", "42");
        ASSERT_TRUE(db);
        db->createClienteWithBarCode("C01", {{"codice", "C01"}, {"ragioneSociale1", "Rossi & Figli"}});
        auto testata = db->createSceltaTestataWithCodice(17, {{"cliente", "C01"}, {"listinoTestata", "L01"}});
        db->createSceltaRigaForSceltaTestata(*testata, {{"articolo", "ART1"}, {"quantita", 2.0}});
        db->commit();
        Paths::setRoot("");
    }
    test::ProcessResult run(std::vector<std::string> words) { return cli(std::move(words)); }
};
}  // namespace

TEST_F(ExportCli, WritesEachDocumentOfAStoredOrderAndRefusesWhatItCannot) {
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

TEST_F(ExportCli, ADeviceIsWrittenInPlaceAndEveryWriteFailureIsReported) {
    // A node of the full device (1, 7) in the test's own folder: every write to it fails.
    const std::string full = dir.file("full");
    if (::mknod(full.c_str(), S_IFCHR | 0600, ::makedev(1, 7)) != 0) GTEST_SKIP() << "no permission to make a device node";
    for (const char* kind : {"xml", "txt", "pdf", "html"}) {
        auto refused = run({"export", "--company", "42", "--order", "17", "--format", kind, "--out", full});
        EXPECT_EQ(refused.exitCode, 1) << kind;
        EXPECT_NE(refused.err.find("non riesco a scrivere"), std::string::npos) << refused.err;
        EXPECT_TRUE(std::filesystem::is_character_file(full)) << kind << ": the node is not replaced by a file";

        auto toOutput = test::runProcess("/bin/sh", {"-c", std::string("exec \"$0\" \"$@\" > ") + full, TORVANE_CLI_PATH,
                                                     "--data-dir", data, "export", "--company", "42",
                                                     "--order", "17", "--format", kind});
        EXPECT_EQ(toOutput.exitCode, 1) << kind << ": a full standard output";
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path() << " left behind";

    // A FIFO is written directly too, to whoever reads it.
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto reader = std::async(std::launch::async, [&] { return test::readFile(fifo); });
    EXPECT_EQ(run({"export", "--company", "42", "--order", "17", "--format", "txt", "--out", fifo}).exitCode, 0);
    // Should the export never have opened the FIFO, the reader is let go with an empty text.
    if (int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK); writer >= 0) ::close(writer);
    EXPECT_EQ(reader.get().rfind("Ordine: Rossi & Figli", 0), 0u);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}
