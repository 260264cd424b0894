#include "platform/Bundle.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace torvane {

namespace fs = std::filesystem;

namespace {

std::mutex& overrideMutex() {
    static std::mutex m;
    return m;
}

std::string& overrideDir() {
    static std::string dir;
    return dir;
}

std::string besideProgram() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    fs::path share = exe.parent_path().parent_path() / "share" / "torvane";
    return fs::is_directory(share / "Settings.bundle", ec) ? share.string() : std::string();
}

}  // namespace

void Bundle::setResourcesDir(const std::string& dir) {
    std::lock_guard lock(overrideMutex());
    overrideDir() = dir;
}

std::string Bundle::resourcesDir() {
    {
        std::lock_guard lock(overrideMutex());
        if (!overrideDir().empty()) return overrideDir();
    }
    if (const char* env = std::getenv("TORVANE_RESOURCES"); env && *env) return env;
    static const std::string found = [] {
        std::string installed = besideProgram();
        return installed.empty() ? std::string(TORVANE_RESOURCES_SOURCE_DIR) : installed;
    }();
    return found;
}

std::string Bundle::resourcePath(const std::string& relative) {
    fs::path path = fs::path(resourcesDir()) / relative;
    std::error_code ec;
    return fs::exists(path, ec) ? path.string() : std::string();
}

std::string Bundle::settingsBundleDir() { return (fs::path(resourcesDir()) / "Settings.bundle").string(); }

std::string Bundle::version() { return TORVANE_VERSION; }

}  // namespace torvane
