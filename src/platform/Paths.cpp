#include "platform/Paths.h"

#include "platform/FileModes.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace torvane {

namespace fs = std::filesystem;

namespace {

std::mutex& rootMutex() {
    static std::mutex m;
    return m;
}

std::string& explicitRoot() {
    static std::string root = [] {
        const char* env = std::getenv("TORVANE_HOME");
        return std::string(env ? env : "");
    }();
    return root;
}

std::string environmentOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return (value && *value) ? std::string(value) : fallback;
}

std::string home() { return environmentOr("HOME", "/tmp"); }

std::string underRootOr(const char* sub, const std::string& xdg) {
    std::string root = Paths::root();
    if (!root.empty()) return (fs::path(root) / sub).string();
    return xdg;
}

}  // namespace

void Paths::setRoot(const std::string& root) {
    std::lock_guard lock(rootMutex());
    explicitRoot() = root;
}

std::string Paths::root() {
    std::lock_guard lock(rootMutex());
    return explicitRoot();
}

std::string Paths::documents() {
    return underRootOr("Documents",
                       (fs::path(environmentOr("XDG_DATA_HOME", home() + "/.local/share")) / "torvane").string());
}

std::string Paths::caches() {
    return underRootOr("Caches",
                       (fs::path(environmentOr("XDG_CACHE_HOME", home() + "/.cache")) / "torvane").string());
}

std::string Paths::temporary() {
    return underRootOr("tmp", (fs::path(environmentOr("TMPDIR", "/tmp")) /
                               ("torvane-" + std::to_string(::getuid()))).string());
}

std::string Paths::config() {
    return underRootOr("Preferences",
                       (fs::path(environmentOr("XDG_CONFIG_HOME", home() + "/.config")) / "torvane").string());
}

std::string Paths::preferencesFile() { return (fs::path(config()) / "preferences.json").string(); }

std::string Paths::ensure(const std::string& folder) {
    FileModes::privateFolder(folder);
    return folder;
}

}  // namespace torvane
