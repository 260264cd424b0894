#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/Bundle.h"
#include "platform/Log.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "store/Database.h"
#include "support/FakeUi.h"
#include "support/TempDir.h"

namespace torvane::test {

// A data folder, preferences and a resources folder of the test's own, so the settings
// files can say exactly what a test needs.
struct AppFixture : ::testing::Test {
    TempDir dir;
    FakeUi ui;
    std::shared_ptr<CaptureLogSink> log;

    void SetUp() override {
        Paths::setRoot(dir.file("data"));
        Preferences::resetStandard(dir.file("prefs.json"));
        Bundle::setResourcesDir(dir.file("resources"));
        std::filesystem::create_directories(dir.file("resources/Settings.bundle"));
        log = Log::useCapture();
    }
    void TearDown() override {
        Database::releaseDatabase();
        Bundle::setResourcesDir("");
    }
    Preferences& prefs() { return Preferences::standard(); }

    // A settings file with one specifier per (key, default) pair plus a group title.
    void writeSettings(const std::string& relative, const std::vector<std::pair<std::string, std::string>>& entries) {
        std::ofstream out(dir.file("resources/" + relative));
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
               "<key>PreferenceSpecifiers</key><array>"
               "<dict><key>Type</key><string>PSGroupSpecifier</string><key>Title</key><string>Gruppo</string></dict>";
        for (const auto& [key, value] : entries)
            out << "<dict><key>Key</key><string>" << key << "</string><key>DefaultValue</key>" << value << "</dict>";
        out << "</array></dict></plist>\n";
    }
};

}  // namespace torvane::test
