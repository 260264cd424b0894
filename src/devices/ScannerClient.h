#pragma once

#include <memory>
#include <optional>
#include <string>

#include "devices/BtScannerDelegate.h"
#include "devices/SledScannerDelegate.h"

namespace torvane {

namespace ui {
class Ui;
}

class BtScanner;
class ScannerSource;
class SledScanner;

// What an accepting screen does with scanned input. Both scanners end up here: a handheld
// barcode takes exactly the road of a sled barcode.
class ScannerScreen {
public:
    virtual ~ScannerScreen() = default;
    virtual void barcodeData(const std::string& text, int type) = 0;
    // Each screen reacts to a card in its own way (log lines, a beep); none by default.
    virtual void magneticCardData(const std::optional<std::string>& track1,
                                  const std::optional<std::string>& track2,
                                  const std::optional<std::string>& track3) {
        (void)track1, (void)track2, (void)track3;
    }
    // The handheld's status changed: the screen's table shows it, so draw it again.
    virtual void scannerStatusChanged() {}
};

// The scanner side of an accepting screen (order entry, the new-client form), so they share
// one handling: it holds the shared sled and the screen's own handheld scanner, attaches when
// the screen appears and detaches when it disappears, logs the scanners' events, takes
// barcodes and cards to the screen, and gives the error beep and the display message.
class ScannerClient final : public SledScannerDelegate, public BtScannerDelegate {
public:
    struct Options {
        // How sled states are worded: "Sled: connesso" or "Stato dello scanner: connesso".
        enum class StateWording { Sled, Scanner };
        StateWording wording = StateWording::Sled;
        // Logged when the screen detaches and when it attaches.
        std::string disappearLog = "Disconessione dallo scanner";
        std::string appearLog = "Connessione allo scanner";
    };

    // Built with the screen's view: takes the sled, creates the handheld driver over
    // `handheld` with itself as delegate and tells it to connect.
    ScannerClient(ui::Ui& ui, ScannerScreen& screen, Options options, SledScanner& sled,
                  std::unique_ptr<ScannerSource> handheld);
    // The process's sled and the handheld source the application configured.
    ScannerClient(ui::Ui& ui, ScannerScreen& screen, Options options);
    ~ScannerClient() override;
    ScannerClient(const ScannerClient&) = delete;
    ScannerClient& operator=(const ScannerClient&) = delete;

    // From the screen's viewWillAppear / viewWillDisappear.
    void attach();
    void detach();
    bool attached() const { return attached_; }

    // The error beep: system sound 1002, three tones on the sled, and 0.1 s later the
    // handheld's beep. Every part of it ignores a missing scanner.
    void boopa();
    // A single 2730 Hz beep of 150 ms on the sled (the card beep).
    void cardBeep();
    // Shows `text` on the handheld's display.
    void inviaMessaggioAlloScanner(const std::string& text);

    SledScanner& sled() const { return sled_; }
    BtScanner& btScanner() const { return *bt_; }

    // SledScannerDelegate
    void connectionState(int state) override;
    void barcodeData(const std::string& text, int type) override;
    void magneticCardData(const std::optional<std::string>& track1,
                          const std::optional<std::string>& track2,
                          const std::optional<std::string>& track3) override;
    void sledButtonPressed(int button) override;
    void sledButtonReleased(int button) override;

    // BtScannerDelegate
    void BarcodeDataArrived(const char* barcode) override;
    void DisplayConnectionStatus() override;
    void DisplayAlert(int kind, const std::string& message, int code) override;
    void SynchronizeFinished() override;
    void SaveEmailSettings() override;

private:
    ui::Ui& ui_;
    ScannerScreen& screen_;
    Options options_;
    SledScanner& sled_;
    std::shared_ptr<BtScanner> bt_;
    bool attached_ = false;
};

}  // namespace torvane
