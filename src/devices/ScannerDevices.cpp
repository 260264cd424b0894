#include "devices/ScannerDevices.h"

#include <memory>
#include <optional>
#include <string>

#include "devices/BtScanner.h"
#include "devices/SerialScannerSource.h"
#include "devices/SledScanner.h"
#include "platform/Log.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"

namespace torvane {

namespace {
std::optional<std::string> devicePath(std::string_view key) {
    std::optional<std::string> path = Preferences::standard().stringForKey(key);
    if (!path || path->empty()) return std::nullopt;
    return path;
}
}  // namespace

void ScannerDevices::configureFromPreferences() {
    if (std::optional<std::string> sled = devicePath(keys::pref_SLEDDEVICE)) {
        Log::f("Scanner: sled su %@", *sled);
        SledScanner::sharedDevice().setSource(std::make_unique<SerialScannerSource>(*sled));
    }
    std::optional<std::string> handheld = devicePath(keys::pref_BTSCANNERDEVICE);
    if (handheld) Log::f("Scanner: scanner a mano su %@", *handheld);
    BtScanner::setDefaultSourceFactory([handheld]() -> std::unique_ptr<ScannerSource> {
        if (!handheld) return nullptr;
        return std::make_unique<SerialScannerSource>(*handheld);
    });
}

}  // namespace torvane
