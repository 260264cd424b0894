#include <filesystem>
#include <thread>

#include "platform/PreferenceKeys.h"
#include "store/ModelDescription.h"
#include "store/StoreSchema.h"
#include "store/StoreFixture.h"

using namespace torvane;
using test::StoreFixture;

using Lifecycle = StoreFixture;

TEST_F(Lifecycle, WithoutAnActiveCompanyTheStoreIs999AndTheDefaultIsWritten) {
    ASSERT_FALSE(Preferences::standard().hasStoredValue(keys::pref_aziendaAttiva));
    Database::initDatabase();
    auto shared = Database::sharedDatabase();
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->currentAzienda(), "999");
    EXPECT_EQ(Preferences::standard().stringForKey(keys::pref_aziendaAttiva), "999");
    EXPECT_EQ(std::filesystem::path(shared->filePath()).filename(), "Database999.sqllite");
    EXPECT_TRUE(std::filesystem::exists(shared->filePath()));
    // Written to the file, not only kept in memory.
    Preferences reread(Preferences::standard().filePath());
    EXPECT_EQ(reread.stringForKey(keys::pref_aziendaAttiva), "999");
}

TEST_F(Lifecycle, InitTwiceForTheSameCompanyKeepsTheInstanceAndItsPendingChanges) {
    Preferences::standard().setString(keys::pref_aziendaAttiva, "C1");
    Database::initDatabase();
    auto first = Database::sharedDatabase();
    ASSERT_TRUE(first);
    first->createMastroWithCodice("M1");
    Database::initDatabase();
    EXPECT_EQ(Database::sharedDatabase(), first);
    EXPECT_TRUE(first->fetchMastroByCodice("M1"));

    // Another company: a new store, and what was not committed is gone with the old one.
    Preferences::standard().setString(keys::pref_aziendaAttiva, "C2");
    first.reset();
    Database::initDatabase();
    EXPECT_EQ(Database::sharedDatabase()->currentAzienda(), "C2");
    Preferences::standard().setString(keys::pref_aziendaAttiva, "C1");
    Database::initDatabase();
    EXPECT_FALSE(Database::sharedDatabase()->fetchMastroByCodice("M1"));
    Database::releaseDatabase();
    EXPECT_FALSE(Database::sharedDatabase());
}

TEST_F(Lifecycle, PendingChangesAreVisibleUndoneByRollbackAndKeptByCommit) {
    auto kept = db->createNazioneWithCodice("ITA");
    ASSERT_TRUE(kept);
    kept->setDescrizione("Italia");
    db->commit();
    auto dropped = db->createNazioneWithCodice("FRA");
    kept->setDescrizione("Cambiata");
    EXPECT_TRUE(db->fetchNazioneByCodice("FRA"));
    db->rollback();
    EXPECT_FALSE(db->fetchNazioneByCodice("FRA"));
    EXPECT_FALSE(dropped->exists());
    EXPECT_FALSE(dropped->codice());  // a handle to a rolled-back row reads as absent
    EXPECT_EQ(kept->descrizione(), "Italia");

    // Released with a pending change: reopening finds only what was committed.
    db->createNazioneWithCodice("ESP");
    std::string path = db->filePath();
    db.reset();
    EXPECT_FALSE(kept->descrizione());  // the store is gone: handles read as absent, no crash
    db = Database::openFile(path, "T");
    ASSERT_TRUE(db);
    EXPECT_TRUE(db->fetchNazioneByCodice("ITA"));
    EXPECT_FALSE(db->fetchNazioneByCodice("ESP"));
}

TEST_F(Lifecycle, AStoreThatCannotBeOpenedYieldsNoInstanceAndItsLogLine) {
    EXPECT_FALSE(Database::openFile(dir.file("missing/folder/x.sqllite"), "X"));
    bool logged = false;
    for (const auto& line : log->lines())
        logged |= line.rfind("Database: errore durante la creazione del Persistent Store Coordinator: ", 0) == 0;
    EXPECT_TRUE(logged);
    test::writeFile(dir.file("garbage.sqllite"), std::string(4096, 'x'));
    EXPECT_FALSE(Database::openFile(dir.file("garbage.sqllite"), "X"));
}

TEST_F(Lifecycle, AFileOfAnEarlierModelIsMigratedInPlace) {
    db.reset();
    std::string path = dir.file("old.sqllite");
    {
        StoreConnection old(path);
        old.executeScript(
            "CREATE TABLE \"Cliente\" (id INTEGER PRIMARY KEY, codice TEXT, ragioneSociale1 TEXT);"
            "INSERT INTO \"Cliente\" (codice, ragioneSociale1) VALUES ('C001', 'Tessiture Rossi');"
            "PRAGMA user_version = 0;");
        old.commit();
    }
    db = Database::openFile(path, "T");
    ASSERT_TRUE(db);
    EXPECT_EQ(StoreSchema::fileVersion(*db->connection()), ModelDescription::version);
    auto cliente = db->fetchClienteByCodice("C001");
    ASSERT_TRUE(cliente);
    EXPECT_EQ(cliente->ragioneSociale1(), "Tessiture Rossi");
    EXPECT_EQ(db->fetchAllMatchesCliente("rossi")->size(), 1u) << "clients stored before are searchable";
    EXPECT_FALSE(cliente->email());
    cliente->setEmail("info@rossi.it");
    auto destinazione = db->createDestinazioneWithCodice("1", *cliente);
    ASSERT_TRUE(destinazione);
    EXPECT_EQ(cliente->destinazioni().size(), 1u);
    EXPECT_EQ(cliente->email(), "info@rossi.it");
}

TEST_F(Lifecycle, TwoThreadsUsingTheOneStoreNeverInterleave) {
    auto work = [&](const std::string& prefix) {
        for (int i = 0; i < 300; ++i) {
            auto mastro = db->createMastroWithCodice(prefix + std::to_string(i));
            if (mastro) mastro->setDescrizione("descrizione " + std::to_string(i));
            db->fetchMastroByCodice(prefix + std::to_string(i / 2));
        }
    };
    std::thread loader(work, "L");
    work("M");
    loader.join();
    EXPECT_EQ(count("Mastro"), 600);
    EXPECT_EQ(db->fetchMastroByCodice("L299")->descrizione(), "descrizione 299");
}
