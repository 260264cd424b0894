#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "devices/ScannerSource.h"

namespace torvane {

namespace ui {
class Ui;
}

class SledScannerDelegate;

// The barcode and magnetic-stripe reader the device sits in. One per process: every accepting
// screen shares `sharedDevice()`, adds itself as a delegate and connects when it comes to the
// front, disconnects and removes itself when it leaves. Events reach the delegates on the main
// thread of the `Ui` in use. Which device it reads is its source; with none it stays
// disconnected and only logs.
class SledScanner {
public:
    enum State { Disconnected = 0, Connecting = 1, Connected = 2 };

    static SledScanner& sharedDevice();

    SledScanner();
    explicit SledScanner(std::unique_ptr<ScannerSource> source);
    ~SledScanner();
    SledScanner(const SledScanner&) = delete;
    SledScanner& operator=(const SledScanner&) = delete;

    // The main thread events are delivered on. Kept until changed; set before `connect`.
    // Changing it while connected disconnects first.
    void setUi(ui::Ui& ui);
    // Replaces the device read; a connected sled disconnects first.
    void setSource(std::unique_ptr<ScannerSource> source);
    ScannerSource* source() const { return source_.get(); }

    // Delegates are not owned; a delegate removes itself before it goes away.
    void addDelegate(SledScannerDelegate* delegate);
    void removeDelegate(SledScannerDelegate* delegate);
    const std::vector<SledScannerDelegate*>& delegates() const { return delegates_; }

    // Starts the source in the background; the outcome comes through `connectionState`.
    // Does nothing while connecting or connected.
    void connect();
    // Stops the source; delegates hear state 0 at once, and nothing read before is delivered
    // afterwards, even to a delegate added later.
    void disconnect();
    int connstate() const { return state_; }
    // A code read by a scanner that types like a keyboard: the delegates get it as a barcode
    // of the sled (type 0), whether the sled itself is connected or not.
    void deliverTypedScan(const std::string& text);

    // Plays (frequency Hz, duration ms) pairs at `volume`. False, with the reason in `error`
    // when asked, when the data is not whole pairs or the device cannot beep.
    bool playSound(int volume, std::span<const int> beepData, std::string* error = nullptr);

private:
    void deliver(const ScannerEvent& event);
    void stopSource();

    std::unique_ptr<ScannerSource> source_;
    ui::Ui* ui_ = nullptr;
    std::vector<SledScannerDelegate*> delegates_;
    int state_ = Disconnected;
    // Events carry the session they were read in; a disconnect starts a new one.
    unsigned long long session_ = 0;
    std::shared_ptr<SledScanner*> alive_;
};

}  // namespace torvane
