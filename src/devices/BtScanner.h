#pragma once

#include <array>
#include <memory>
#include <string>

#include "devices/ScannerSource.h"

namespace torvane {

namespace ui {
class Ui;
}

class BtScannerDelegate;

// The handheld Bluetooth barcode scanner, one per accepting screen: the screen sets itself as
// the application delegate, asks it to connect once, and hears its callbacks on the main
// thread. The driver keeps what the scanner told about itself, a few flags, and the buffer of
// the message the scanner's own display shows.
class BtScanner {
public:
    static constexpr std::size_t kDisplayLength = 65;

    // Where handheld scanners are read unless a screen is given one: set once by the
    // application from the preferences; none means no handheld scanner.
    using SourceFactory = std::function<std::unique_ptr<ScannerSource>()>;
    static void setDefaultSourceFactory(SourceFactory factory);
    static std::unique_ptr<ScannerSource> makeDefaultSource();

    explicit BtScanner(ui::Ui& ui, std::unique_ptr<ScannerSource> source = nullptr);
    ~BtScanner();
    BtScanner(const BtScanner&) = delete;
    BtScanner& operator=(const BtScanner&) = delete;

    // Not owned: the delegate owns the driver.
    void SetApplicationDelegate(BtScannerDelegate* delegate) { delegate_ = delegate; }
    BtScannerDelegate* applicationDelegate() const { return delegate_; }

    // Opens the device in the background; the outcome comes through DisplayConnectionStatus.
    void ConnectDevice();
    void Disconnect();
    bool isConnected() const { return connected_; }

    // Commands; a missing or disconnected scanner ignores them.
    void SyncScannerClock();
    // Shows the display buffer on the scanner.
    void HandleScannerMessage();
    void SendBeepCommand(int kind);
    void EraseScannerMemory();

    const BtScannerInfo& info() const { return info_; }
    bool pleaseWait() const { return pleaseWait_; }
    void setPleaseWait(bool on) { pleaseWait_ = on; }
    bool synchronizing() const { return synchronizing_; }
    void setSynchronizing(bool on) { synchronizing_ = on; }
    bool eraseAfterSync() const { return eraseAfterSync_; }
    void setEraseAfterSync(bool on) { eraseAfterSync_ = on; }

    // The display message: kDisplayLength characters and a terminator.
    std::array<char, kDisplayLength + 1>& displayBuffer() { return display_; }
    const char* displayText() const { return display_.data(); }
    // Blanks the buffer, then copies `text` into it: at most the buffer's length and at most
    // 100 characters read; a character the display cannot show becomes '?'.
    void fillDisplayBuffer(const std::string& text);

    ScannerSource* source() const { return source_.get(); }

private:
    void deliver(const ScannerEvent& event);

    ui::Ui& ui_;
    std::unique_ptr<ScannerSource> source_;
    BtScannerDelegate* delegate_ = nullptr;
    bool started_ = false;
    bool connected_ = false;
    BtScannerInfo info_;
    bool pleaseWait_ = false;
    bool synchronizing_ = false;
    bool eraseAfterSync_ = false;
    std::array<char, kDisplayLength + 1> display_{};
    unsigned long long session_ = 0;
    std::shared_ptr<BtScanner*> alive_;
};

}  // namespace torvane
