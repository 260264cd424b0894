#include <gtest/gtest.h>

#include <unicode/unistr.h>

#include <chrono>
#include <filesystem>

#include "loader/LoaderTestSupport.h"
#include "support/Process.h"
#include "store/Database.h"
#include "store/StoreConnection.h"
#include "support/TempDir.h"

using namespace torvane;
using namespace torvane::test;

namespace {
const std::string kDocument = document(
    "<ClientiFornitori><ClienteFornitore BarCode=\"B1\"><Codice>C1</Codice></ClienteFornitore></ClientiFornitori>");
}

TEST(LoadCli, LoadsAFileOrAUrlPrintsTheResultAlertAndExitsWithTheResult) {
    TempDir dir;
    writeFile(dir.file("01.L1.xml"), kDocument);
    const std::string data = dir.file("data");
    auto first = runProcess(TORVANE_CLI_PATH, {"--data-dir", data, "load", "--company", "01", "--file", dir.file("01.L1.xml")});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out.rfind("Completato !!\nPer essere precisi, ho caricato\nClienti:1 Tags:0 in ", 0), 0u) << first.out;
    EXPECT_NE(first.err.find("Step 1 di 1"), std::string::npos);
    DocumentServer server;
    server.serve("/cat/02.L1.xml", "<html><body>oops</body></html>");
    auto bad = runProcess(TORVANE_CLI_PATH, {"--data-dir", data, "load", "--company", "02", "--pause-ms", "0", "--url",
                                             server.url("/cat/02.L1.xml")});
    EXPECT_EQ(bad.exitCode, 3);
    EXPECT_EQ(bad.out, "Errore caricamento!!!\nDati inesistenti o XML errato\n");
    EXPECT_EQ(server.requested(), std::vector<std::string>{"/cat/02.L1.xml"});
}

TEST(LoadCli, AFolderOrAMissingFileIsRefusedBeforeAnyStoreIsOpened) {
    TempDir dir;
    const std::string data = dir.file("data");
    for (const std::string& path : {dir.path().string(), dir.file("manca.xml")}) {
        auto refused = runProcess(TORVANE_CLI_PATH, {"--data-dir", data, "load", "--company", "01", "--file", path});
        EXPECT_EQ(refused.exitCode, 2) << path;
        EXPECT_NE(refused.err.find("non riesco a leggere " + path), std::string::npos) << refused.err;
    }
    EXPECT_FALSE(std::filesystem::exists(data + "/Documents/Database01.sqllite"));
}

namespace {
// Loads one document from a file into a fresh data folder; the exit code and the clients' names.
struct FileLoad {
    int exitCode;
    std::string clients;
};
FileLoad loadFile(const std::string& bytes) {
    TempDir dir;
    writeFile(dir.file("01.L1.xml"), bytes);
    auto run = runProcess(TORVANE_CLI_PATH, {"--data-dir", dir.file("data"), "load", "--company", "01", "--file",
                                             dir.file("01.L1.xml")});
    auto db = Database::openFile(dir.file("data/Documents/Database01.sqllite"), "01");
    std::string clients;
    if (db)
        for (const auto& row : db->connection()->query("SELECT ragioneSociale1 FROM Cliente ORDER BY codice"))
            if (auto* name = std::get_if<std::string>(&row.at(0))) clients += *name + ";";
    return {run.exitCode, clients};
}
std::string client(const std::string& name, const std::string& attributes = "") {
    return "<ClientiFornitori><ClienteFornitore BarCode=\"B1\"" + attributes + "><Codice>C1</Codice><RagioneSociale1>" +
           name + "</RagioneSociale1></ClienteFornitore></ClientiFornitori>";
}
}  // namespace

TEST(LoadCli, ADocumentThatDeclaresEntitiesIsRefusedRatherThanLoadedWithoutTheirText) {
    const std::string body = document(client("&x; S.r.l.")).substr(std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n").size());
    EXPECT_EQ(loadFile("<!DOCTYPE TorvaneMobile [<!ENTITY x \"Rossi\">]>" + body).exitCode, 3);
    EXPECT_EQ(loadFile("<!DOCTYPE TorvaneMobile SYSTEM \"catalogo.dtd\">" + body).exitCode, 3) << "its entities are never read";
    EXPECT_EQ(loadFile(body).exitCode, 3) << "an undeclared entity";
    auto plain = loadFile(document(client("Rossi &amp; Figli &#83;.r.l.")));
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plain.clients, "Rossi & Figli S.r.l.;");
}

TEST(LoadCli, AbsurdShapesAreRefusedQuickly) {
    std::string attributes;
    for (int i = 0; i < 100000; ++i) attributes += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(loadFile(document(client("Rossi", attributes))).exitCode, 3);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));

    std::string deep;
    for (int i = 0; i < 70; ++i) deep += "<n>";
    for (int i = 0; i < 70; ++i) deep += "</n>";
    EXPECT_EQ(loadFile(document(client("Rossi") + "<Altro>" + deep + "</Altro>")).exitCode, 3);
    EXPECT_EQ(loadFile(document(client(std::string(10'000'001, 'x')))).exitCode, 3);

    // Generous limits (1000 attributes with BarCode, depth 58) and ">" or "=" in values still load.
    std::string many;
    for (int i = 1; i < 1000; ++i) many += " a" + std::to_string(i) + "='x=y>z'";
    std::string nested;
    for (int i = 0; i < 55; ++i) nested += "<n>";
    for (int i = 0; i < 55; ++i) nested += "</n>";
    auto fine = loadFile(document("<!-- <a <b <c -->" + client("Rossi > Bianchi", many) + "<Altro>" + nested +
                                  "<![CDATA[<x><y>]]></Altro>"));
    EXPECT_EQ(fine.exitCode, 0);
    EXPECT_EQ(fine.clients, "Rossi > Bianchi;");
}

TEST(LoadCli, UnicodeDocumentsAreDecodedWhateverTheyDeclareOrRefusedWhole) {
    const std::string text = document(client("Citt\xc3\xa0 Pi\xc3\xb9"));
    icu::UnicodeString decoded = icu::UnicodeString::fromUTF8(text);
    std::string little, big;
    for (int i = 0; i < decoded.length(); ++i) {
        char16_t unit = decoded.charAt(i);
        little += {static_cast<char>(unit & 0xff), static_cast<char>(unit >> 8)};
        big += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xff)};
    }
    for (const std::string& bytes : {little, big, "\xff\xfe" + little}) {
        auto load = loadFile(bytes);
        EXPECT_EQ(load.exitCode, 0);
        EXPECT_EQ(load.clients, "Citt\xc3\xa0 Pi\xc3\xb9;");
    }
    // One byte a letter in the file, two once decoded: the text outgrows what the bytes announced.
    std::string latin1 = document(client(std::string(5000, '\xe0')));
    latin1.replace(latin1.find("UTF-8"), 5, "ISO-8859-1");
    std::string accents;
    for (int i = 0; i < 5000; ++i) accents += "\xc3\xa0";
    EXPECT_EQ(loadFile(latin1).clients, accents + ";");
    EXPECT_EQ(loadFile(little.substr(0, little.size() - 1)).exitCode, 3) << "cut inside its last character";
    EXPECT_EQ(loadFile(little.substr(0, little.size() / 2)).exitCode, 3);
}
