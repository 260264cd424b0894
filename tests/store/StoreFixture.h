#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "store/Database.h"
#include "store/StoreConnection.h"
#include "support/TempDir.h"

namespace torvane::test {

// A store in its own temporary folder, with preferences of its own.
struct StoreFixture : ::testing::Test {
    TempDir dir;
    std::shared_ptr<Database> db;
    std::shared_ptr<CaptureLogSink> log;

    void SetUp() override {
        Paths::setRoot(dir.path().string());
        Preferences::resetStandard(dir.file("prefs.json"));
        log = Log::useCapture();
        db = Database::openFile(dir.file("store.sqllite"), "T");
        ASSERT_TRUE(db);
    }
    void TearDown() override {
        db.reset();
        Database::releaseDatabase();
    }
    long long count(const std::string& entity) {
        auto rows = rawQuery("SELECT COUNT(*) FROM \"" + entity + "\"");
        return std::get<long long>(rows.at(0).at(0));
    }
    // Reads through the store's own connection, so pending changes count.
    std::vector<SqlRow> rawQuery(const std::string& sql) { return db->connection()->query(sql); }
};

}  // namespace torvane::test
