// Everything made under the data folder (store and journal files, logs, preferences,
// folders) is this user's alone: through the real torvane-cli, and through the library even
// in a process that never tightened its file-creation mask.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/FileModes.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "store/Database.h"
#include "support/CliFolder.h"

namespace torvane::test {
namespace {

namespace fs = std::filesystem;

unsigned modeOf(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
}

void expectPrivate(const fs::path& root) {
    EXPECT_EQ(modeOf(root), 0700u) << root;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        EXPECT_EQ(modeOf(entry.path()), entry.is_directory() ? 0700u : 0600u) << entry.path();
}

TEST_F(CliFolder, EverythingTheProgramMakesUnderTheDataFolderIsPrivate) {
    cli({"script", "-"}, "help\n");  // the screens run and log, whatever the script ends on
    ASSERT_TRUE(fs::exists(data + "/Documents/Script.log"));
    expectPrivate(data);
}

TEST(PrivateFiles, TheLibraryMakesThemPrivateWhateverTheProcessMask) {
    TempDir dir;
    const mode_t previous = ::umask(022);
    const std::string folder = Paths::ensure(dir.file("a/b"));
    {
        auto db = Database::openFile(folder + "/store.sqllite", "T");
        ASSERT_TRUE(db);
        db->commit();
        ASSERT_TRUE(fs::exists(folder + "/store.sqllite-wal"));
        FileLogSink(folder + "/Caricamento.log").write("riga");
        expectPrivate(dir.file("a"));
    }
    Database::releaseDatabase();
    ::umask(previous);
}

}  // namespace
}  // namespace torvane::test
