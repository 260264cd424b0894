#pragma once

#include <string>

namespace torvane {

// The application delegate of a handheld scanner: the screen that owns it. Always called on
// the main thread. Every callback has a default that ignores it.
class BtScannerDelegate {
public:
    virtual ~BtScannerDelegate() = default;

    // The scanned characters as the driver read them, NUL-terminated; may not be valid UTF-8.
    virtual void BarcodeDataArrived(const char* barcode) { (void)barcode; }
    // The connection changed, or the driver's facts did: read them from the driver.
    virtual void DisplayConnectionStatus() {}
    virtual void DisplayAlert(int kind, const std::string& message, int code) {
        (void)kind, (void)message, (void)code;
    }
    // A transfer of the scans stored in the scanner ended.
    virtual void SynchronizeFinished() {}
    virtual void SaveEmailSettings() {}
};

}  // namespace torvane
