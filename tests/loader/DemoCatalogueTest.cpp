// The demonstration company of resources/demo as a newcomer meets it: the demo user logs in
// at the real torvane-fiera serving the demo folder, and the real torvane-cli downloads the
// catalogue in four steps (and, in fair mode, as the fair document) without one alert.
#include <gtest/gtest.h>

#include <filesystem>

#include "store/Database.h"
#include "store/StoreConnection.h"
#include "support/FairProcess.h"
#include "support/Process.h"

using namespace torvane;
using namespace torvane::test;

namespace {
const std::string kDemo = TORVANE_RESOURCES_SOURCE_DIR "/demo";

long long count(const std::string& storeFile, const std::string& table) {
    auto db = Database::openFile(storeFile, "01");
    if (!db) return -1;
    const auto rows = db->connection()->query("SELECT COUNT(*) FROM " + table);
    return std::get<long long>(rows.at(0).at(0));
}

// The result alert of a load: its counters must be the whole demo catalogue.
void expectWholeCatalogue(const ProcessResult& load) {
    EXPECT_EQ(load.exitCode, 0) << load.out << load.err;
    EXPECT_EQ(load.out.rfind("Completato !!\nPer essere precisi, ho caricato\nClienti:30 Listini:3 Prezzi:", 0), 0u)
        << load.out;
    EXPECT_NE(load.out.find(" Articoli:60 Colori:"), std::string::npos) << load.out;
    EXPECT_EQ(load.out.find("Attenzione"), std::string::npos) << load.out;
}
}  // namespace

TEST(DemoCatalogue, TheDemoUserLogsInAndTheFourStepsAndTheFairDocumentLoadWithoutAnAlert) {
    TempDir dir;
    const std::string served = dir.file("servito");
    std::filesystem::copy(kDemo + "/sito", served, std::filesystem::copy_options::recursive);
    // The profile names the company server on the usual port; this server's port replaces it.
    writeFile(dir.file("profili.json"), R"({"utenti":[]})");
    FairProcess fiera(served, {"--profili", dir.file("profili.json")}, dir.file("fiera.log"));
    const std::string base = "http://127.0.0.1:" + std::to_string(fiera.port()) + "/";
    std::string profiles = readFile(kDemo + "/profili.json");
    const std::string usual = "http://127.0.0.1:8080/";
    ASSERT_NE(profiles.find(usual), std::string::npos);
    profiles.replace(profiles.find(usual), usual.size(), base);
    writeFile(dir.file("profili.json"), profiles);

    const std::string data = dir.file("data");
    auto cli = [&](std::vector<std::string> words, const std::optional<std::string>& input = std::nullopt) {
        words.insert(words.begin(), {"--data-dir", data});
        return runProcess(TORVANE_CLI_PATH, words, input);
    };
    ASSERT_EQ(cli({"defaults", "write", "pref_AAASERVER", base + "ios/userProfile"}).exitCode, 0);
    auto login = cli({"script", "-"}, R"S(expect-alert "ALERT Login iniziale | Imposta User / Password | [Ok]"
answer Ok demo torvane
expect-alert "ALERT Autorizzazione concessa !! | (Azienda: 01) | [Procedi con la Sincronizzazione ...]"
answer 0
)S");
    ASSERT_EQ(login.exitCode, 0) << login.out << login.err;
    EXPECT_EQ(cli({"defaults", "read", "pref_HTTPSERVER"}).out, base + "\n");

    ASSERT_EQ(cli({"defaults", "write", "pref_downloadFourStepsEnabled", "1"}).exitCode, 0);
    expectWholeCatalogue(cli({"load", "--pause-ms", "0"}));
    for (int step = 1; step <= 4; ++step)
        EXPECT_TRUE(fiera.logHas("GET /01.LEV" + std::to_string(step) + ".xml 200")) << step;
    const std::string store = data + "/Documents/Database01.sqllite";
    EXPECT_EQ(count(store, "Cliente"), 30);
    EXPECT_EQ(count(store, "Articolo"), 60);
    EXPECT_EQ(count(store, "Listino"), 4);  // the three lists and the stock list the lots belong to
    EXPECT_GT(count(store, "Giacenza"), 20);
    EXPECT_GT(count(store, "StatCliente"), 15);
    EXPECT_EQ(count(store, "EsposizioneCliente"), 30);
    EXPECT_EQ(cli({"defaults", "read", "pref_FIRMAENABLED"}).out, "1\n");

    // Fair mode downloads the whole company as one document from the fair PC.
    ASSERT_EQ(cli({"defaults", "write", "pref_MODALITAFIERAENABLED", "1"}).exitCode, 0);
    ASSERT_EQ(cli({"defaults", "write", "pref_FIERAHTTPSERVER", base}).exitCode, 0);
    expectWholeCatalogue(cli({"load", "--pause-ms", "0"}));
    EXPECT_TRUE(fiera.logHas("GET /fiere.xml 200"));

    // Every article's thumbnail and photo is served.
    for (const auto& entry : std::filesystem::directory_iterator(kDemo + "/sito/foto"))
        EXPECT_GT(std::filesystem::file_size(entry.path()), 500u) << entry.path();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(kDemo + "/sito/foto"), {}), 120);
}
