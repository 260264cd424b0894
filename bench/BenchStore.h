#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "NullLogSink.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "store/Database.h"

namespace torvane::bench {

// A fresh store in a folder of its own under the temporary folder, with preferences of its
// own and no log; the folder goes with the object.
class BenchStore {
public:
    explicit BenchStore(const std::string& name)
        : folder_(std::filesystem::temp_directory_path() / ("torvane-bench-" + name)) {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        Paths::setRoot(folder_.string());
        Preferences::resetStandard((folder_ / "prefs.json").string());
        Log::setSink(std::make_shared<NullLogSink>());
        db_ = Database::openFile((folder_ / "bench.sqllite").string(), "B");
    }
    ~BenchStore() {
        db_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    // None when the store could not be opened.
    const std::shared_ptr<Database>& db() const { return db_; }

private:
    std::filesystem::path folder_;
    std::shared_ptr<Database> db_;
};

}  // namespace torvane::bench
