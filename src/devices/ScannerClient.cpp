#include "devices/ScannerClient.h"

#include <array>
#include <chrono>
#include <utility>

#include "devices/BtScanner.h"
#include "devices/ScannerText.h"
#include "devices/SledScanner.h"
#include "platform/Log.h"
#include "platform/ui/Ui.h"

namespace torvane {

namespace {
constexpr int kVolume = 100;
constexpr std::array<int, 10> kErrorBeep{2730, 150, 0, 30, 2730, 150, 0, 30, 2730, 150};
constexpr std::array<int, 2> kCardBeep{2730, 150};
constexpr std::chrono::milliseconds kHandheldBeepDelay{100};
}  // namespace

ScannerClient::ScannerClient(ui::Ui& ui, ScannerScreen& screen, Options options, SledScanner& sled,
                             std::unique_ptr<ScannerSource> handheld)
    : ui_(ui),
      screen_(screen),
      options_(std::move(options)),
      sled_(sled),
      bt_(std::make_shared<BtScanner>(ui, std::move(handheld))) {
    bt_->SetApplicationDelegate(this);
    bt_->ConnectDevice();
}

ScannerClient::ScannerClient(ui::Ui& ui, ScannerScreen& screen, Options options)
    : ScannerClient(ui, screen, std::move(options), SledScanner::sharedDevice(),
                    BtScanner::makeDefaultSource()) {}

ScannerClient::~ScannerClient() {
    // A screen destroyed while in front must not leave the sled calling it.
    if (attached_) {
        sled_.removeDelegate(this);
        if (sled_.delegates().empty()) sled_.disconnect();
    }
    bt_->SetApplicationDelegate(nullptr);
}

void ScannerClient::attach() {
    Log::line(options_.appearLog);
    sled_.setUi(ui_);
    sled_.addDelegate(this);
    sled_.connect();
    attached_ = true;
}

void ScannerClient::detach() {
    Log::line(options_.disappearLog);
    sled_.disconnect();
    sled_.removeDelegate(this);
    attached_ = false;
}

void ScannerClient::boopa() {
    ui_.playSound(ui::Sound::System1002);
    sled_.playSound(kVolume, kErrorBeep);  // a missing sled simply stays silent
    std::weak_ptr<BtScanner> bt = bt_;
    ui_.startTimer(kHandheldBeepDelay, [bt] {
        if (auto scanner = bt.lock()) scanner->SendBeepCommand(1);
    });
}

void ScannerClient::cardBeep() { sled_.playSound(kVolume, kCardBeep); }

void ScannerClient::inviaMessaggioAlloScanner(const std::string& text) {
    bt_->fillDisplayBuffer(text);
    bt_->HandleScannerMessage();
    Log::f("BT: inviaMessaggioAlloScanner %@ [%s]", text, std::string(bt_->displayText()));
}

void ScannerClient::connectionState(int state) {
    Log::f("Sled: Status changed (%d)", state);
    const char* prefix = options_.wording == Options::StateWording::Sled ? "Sled: " : "Stato dello scanner: ";
    switch (state) {
        case 2: Log::f("%s%s", prefix, "connesso"); break;
        case 1: Log::f("%s%s", prefix, "in connessione"); break;
        case 0: Log::f("%s%s", prefix, "disconnesso"); break;
        default: break;
    }
}

void ScannerClient::barcodeData(const std::string& text, int type) { screen_.barcodeData(text, type); }

void ScannerClient::magneticCardData(const std::optional<std::string>& track1,
                                     const std::optional<std::string>& track2,
                                     const std::optional<std::string>& track3) {
    screen_.magneticCardData(track1, track2, track3);
}

void ScannerClient::sledButtonPressed(int button) { Log::f("Button Pressed %d !", button); }

void ScannerClient::sledButtonReleased(int button) { Log::f("Button Released %d !", button); }

void ScannerClient::BarcodeDataArrived(const char* barcode) {
    if (!barcode) {
        Log::line("BT: Barcode:(null)");
        return;  // nothing was read: no scan to hand on
    }
    const std::string text = scannedText(barcode);
    Log::f("BT: Barcode:%@", text);
    screen_.barcodeData(text, 0);
}

void ScannerClient::DisplayConnectionStatus() {
    if (bt_->isConnected()) {
        if (bt_->pleaseWait()) {
            bt_->setPleaseWait(false);
            Log::line("BT: Please wait ...");
            screen_.scannerStatusChanged();
            return;
        }
        Log::line("BT: Device is connected");
        bt_->SyncScannerClock();
        const BtScannerInfo& info = bt_->info();
        Log::line("--------------------------------------");
        Log::line("BT Information:");
        Log::f("    Serial No: %s", info.serialNumber);
        Log::f("    FwVersion: %s%s", info.firmwareVersion, info.firmwareBuild);
        Log::f("    Bluetooth MAC address: %s", info.btMacAddress);
        Log::f("    Bluetooth firmware version: %s", info.btFirmwareVersion);
        Log::f("    Memory status %d stored/%d KB left", info.storedRecords, info.memoryKbLeft);
        Log::line("--------------------------------------");
    } else {
        Log::line("BT: Device is not connected");
    }
    screen_.scannerStatusChanged();
}

void ScannerClient::DisplayAlert(int kind, const std::string& message, int code) {
    Log::f("BT: DisplayAlert %d %@ %d", kind, message, code);
}

void ScannerClient::SynchronizeFinished() {
    bt_->setSynchronizing(false);
    ui_.setKeepAwake(false);
    if (bt_->eraseAfterSync()) bt_->EraseScannerMemory();
}

void ScannerClient::SaveEmailSettings() { Log::f("BT: %s", "SaveEmailSettings"); }

}  // namespace torvane
