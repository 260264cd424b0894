// The script runner's commands against the real window (`torvane --script` on the offscreen
// platform): an order taken, reviewed and suspended, with pictures of the window on the way.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/CliFolder.h"

using namespace torvane::test;
namespace fs = std::filesystem;

using WindowScript = CliFolder;

TEST_F(WindowScript, TheRunnersCommandsDriveTheWindowAndItsPicturesAreDrawn) {
    const fs::path gui = fs::path(TORVANE_CLI_PATH).parent_path().parent_path() / "gui" / "torvane";
    if (!fs::exists(gui)) GTEST_SKIP() << "built without the window";
    defaults({"pref_aziendaAttiva", "01"});
    writeFile(dir.file("finestra.script"), "tap 0 0\nsearch ross\ntap 0 0\nscan 100001\nscan 10000\ntype 4 2\n"
                                           "button Conferma\nbutton Fine\nexpect \"Totale IVA escl.\"\nshot " +
                                               dir.file("rivedi.png") +
                                               "\nbutton \"Sospendi Ordine\"\ntab Archivio\nexpect \"(Sospeso)\"\n"
                                               "pause 50\nshot " + dir.file("archivio.png") + "\n");
    // Leaks of the window's own objects are the GUI tests' to find; this one drives it.
    auto run = runProcess("/usr/bin/env", {"QT_QPA_PLATFORM=offscreen", "ASAN_OPTIONS=detect_leaks=0", "TORVANE_HOME=" + data,
                                           gui.string(), "--script",
                                           dir.file("finestra.script")});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    // A blank 1024 x 768 picture compresses to a few kilobytes; a drawn screen does not.
    for (const char* picture : {"rivedi.png", "archivio.png"}) {
        ASSERT_TRUE(fs::exists(dir.file(picture))) << picture;
        EXPECT_GT(fs::file_size(dir.file(picture)), 8000u) << picture;
    }
}
