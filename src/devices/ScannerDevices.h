#pragma once

namespace torvane {

// Points the scanner drivers at the serial lines the preferences name: the shared sled reads
// `pref_SLEDDEVICE`, every handheld driver created afterwards `pref_BTSCANNERDEVICE`. An empty
// or missing path leaves that scanner without a device (it stays disconnected).
class ScannerDevices {
public:
    static void configureFromPreferences();
};

}  // namespace torvane
