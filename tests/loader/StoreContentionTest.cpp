// Loads that meet another writer or a full disk: they wait their turn or say why they failed,
// and a failed load leaves no write-ahead log filling the disk.
#include <filesystem>
#include <thread>

#include "loader/LoaderTestSupport.h"
#include "store/StoreConnection.h"

using namespace torvane;
using namespace torvane::test;

namespace {

struct StoreContention : LoaderFixture {
    std::string clients(int n) {
        std::string xml = "<ClientiFornitori>";
        for (int i = 0; i < n; ++i)
            xml += "<ClienteFornitore BarCode=\"B" + std::to_string(i) + "\"><Codice>C" + std::to_string(i) +
                   "</Codice><RagioneSociale1>Cliente con un nome lungo abbastanza " + std::string(200, 'x') +
                   "</RagioneSociale1></ClienteFornitore>";
        return document(xml + "</ClientiFornitori>");
    }
    bool saw(const RecordingProgress& progress, const std::string& text) {
        for (const auto& line : progress.label2)
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
};

}  // namespace

TEST_F(StoreContention, AnotherProgramsWriterIsWaitedForThenNamedWhenItKeepsTheStore) {
    StoreConnection other(dir.file("store.sqllite"));
    other.beginWriting();
    std::thread release([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.commit();
    });
    RecordingProgress waited;
    auto first = load(clients(3), "01.L1.xml", &waited);
    release.join();
    EXPECT_EQ(first->result(), 0) << "a short write by another program is waited for";
    EXPECT_EQ(count("Cliente"), 3);

    other.beginWriting();
    RecordingProgress refused;
    auto second = load(clients(4), "01.L2.xml", &refused);
    EXPECT_EQ(second->result(), 2);
    EXPECT_TRUE(saw(refused, "Errore Download: database in uso da un altro programma")) << refused.label2.back();
    other.rollback();
    EXPECT_FALSE(log->contains("(null)"));
}

TEST_F(StoreContention, AFullDiskIsNamedTheLogGivesItsSpaceBackAndTheNextLoadCompletes) {
    const auto pages = std::get<long long>(rawQuery("PRAGMA page_count").at(0).at(0));
    db->connection()->query("PRAGMA max_page_count = " + std::to_string(pages + 20));
    RecordingProgress full;
    auto failed = load(clients(2000), "01.L1.xml", &full);
    EXPECT_NE(failed->result(), 0) << "a load that could not write is no success";
    EXPECT_TRUE(saw(full, "disco pieno")) << (full.label2.empty() ? "" : full.label2.back());
    EXPECT_EQ(std::filesystem::file_size(dir.file("store.sqllite-wal")), 0u);
    EXPECT_NE(marker(), "20260101000000") << "the document is loaded again next time";

    db->connection()->query("PRAGMA max_page_count = 1073741823");
    auto again = load(clients(2000), "01.L1.xml");
    EXPECT_EQ(again->result(), 0);
    EXPECT_EQ(count("Cliente"), 2000);
}
