// An order finished end to end through the real torvane-cli: reviewed, signed, uploaded to
// the real torvane-fiera, mailed into the outbox, duplicated, reopened and sent
// again; and an order that survives the program being killed.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/CliFolder.h"
#include "support/FairProcess.h"

using namespace torvane::test;
namespace fs = std::filesystem;

namespace {

struct ReviewScript : CliFolder {
    ProcessResult script(const std::string& text) { return cli({"script", "--company", "01", "-"}, text); }
    static std::size_t files(const std::string& folder) {
        std::error_code ignored;
        if (!fs::is_directory(folder, ignored)) return 0;
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
    }
};

// Client Rossi, two metres of ART1 in colour 001, then "Fine".
const char* kOrdine = R"S(tap 0 0
search ross
tap 0 0
scan 100001
scan 10000
type 4 2
button Conferma
button Fine
)S";

}  // namespace

TEST_F(ReviewScript, AnOrderIsSignedUploadedMailedDuplicatedAndSentAgain) {
    fs::create_directories(dir.file("fiera"));
    FairProcess fiera(dir.file("fiera"), {}, dir.file("fiera.log"));
    defaults({"pref_MODALITAFIERAENABLED", "YES", "--type", "bool"});
    defaults({"pref_INVIOMAILENABLED", "YES", "--type", "bool"});
    defaults({"pref_FIRMAENABLED", "YES", "--type", "bool"});
    defaults({"pref_FIERAHTTPSERVER", "http://127.0.0.1:" + std::to_string(fiera.port()) + "/"});

    auto run = script(std::string(kOrdine) + R"S(expect "== Rossi Tessuti =="
expect "Totale IVA escl."
expect "Registra Ordine"
button "Registra Ordine"
expect-alert "La firma e' necessaria !"
answer Continua
button firma
sign 10,10 40,60 90,20 | 20,80 80,80
button Conferma
button "Registra Ordine"
mail save --to acquisti@rossi.example
expect-alert "Messaggio salvato"
answer OK
tab Archivio
expect "Inviato "
tap 0 0
button "Duplica Ordine"
expect "(Duplicato)"
tap 0 0
tab SCELTA
expect "R. 2"
button Fine
button "Registra Ordine"
expect-alert "La firma e' necessaria !"
answer Continua
button firma
sign 10,10 90,90
button Conferma
button "Registra Ordine"
mail save --to acquisti@rossi.example
expect-alert "Messaggio salvato"
answer OK
tab Archivio
expect-not "(Duplicato)"
)S");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(files(dir.file("fiera/ordini")), 2u) << "the order and its duplicate, each uploaded once";
    EXPECT_EQ(files(data + "/Documents/Outbox"), 2u) << "one message for each";
}

TEST_F(ReviewScript, AnOrderSuspendedBeforeTheProgramIsKilledIsInTheArchiveAfterwards) {
    // The script stops reading after the suspension and shows the screen; once that is
    // printed the program is killed while it waits for its next line.
    writeFile(dir.file("righe.txt"), std::string(kOrdine) + "button \"Sospendi Ordine\"\nshow\n");
    const std::string out = dir.file("out.txt");
    const std::string fifo = dir.file("righe.fifo");
    // The lines go through a pipe kept open by the shell, so the program waits for more.
    auto killed = runProcess(
        "/bin/bash", {"-c", "mkfifo '" + fifo + "'; '" TORVANE_CLI_PATH "' --data-dir '" + data + "' script --company 01 - < '" +
                                fifo + "' > '" + out + "' 2>&1 & cli=$!; exec 3> '" + fifo + "'; cat '" +
                                dir.file("righe.txt") + "' >&3; for i in $(seq 600); do [ -s '" + out +
                                "' ] && break; sleep 0.1; done; kill -9 $cli; wait $cli; echo killed"});
    EXPECT_NE(readFile(out).find("=="), std::string::npos) << "killed only after the suspension:\n" << readFile(out) << killed.err;
    auto after = script("tab Archivio\nexpect \"(Sospeso)\"\nexpect \"Righe 1\"\n");
    EXPECT_EQ(after.exitCode, 0) << after.out << after.err;
}
