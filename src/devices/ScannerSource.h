#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace torvane {

// One tone of a scanner beep: a frequency of 0 is a silence.
struct Tone {
    int frequency = 0;   // Hz
    int durationMs = 0;  // ms
    bool operator==(const Tone&) const = default;
};

// What the handheld scanner tells about itself once connected.
struct BtScannerInfo {
    std::string serialNumber;
    std::string firmwareVersion;
    std::string firmwareBuild;
    std::string btMacAddress;
    std::string btFirmwareVersion;
    int storedRecords = 0;
    int memoryKbLeft = 0;
};

// The events a device source reports. Texts are the bytes read; the drivers make them valid
// UTF-8 before a screen sees them.
namespace scanner {
struct StateChanged {
    int state = 0;  // 0 disconnected, 1 connecting, 2 connected
};
struct Barcode {
    std::string text;
    int type = 0;
};
struct MagneticCard {
    std::optional<std::string> track1, track2, track3;
};
struct Button {
    int button = 0;
    bool pressed = true;
};
// Handheld only: its facts, its busy marker, the end of a synchronisation of stored scans.
struct DeviceInfo {
    BtScannerInfo info;
};
struct PleaseWait {};
struct SynchronizeFinished {};
}  // namespace scanner

using ScannerEvent = std::variant<scanner::StateChanged, scanner::Barcode, scanner::MagneticCard,
                                  scanner::Button, scanner::DeviceInfo, scanner::PleaseWait,
                                  scanner::SynchronizeFinished>;

// A device a scanner driver reads: a serial line, a test feed, a keyboard wedge. The driver
// starts it on connection and stops it on disconnection; the source may report from a thread
// of its own, the driver takes each event to the main thread.
class ScannerSource {
public:
    using Emit = std::function<void(ScannerEvent)>;

    virtual ~ScannerSource() = default;

    // Begins reading; events go to `emit`, from any thread, until `stop` returns.
    virtual void start(Emit emit) = 0;
    // Stops reading. Safe to call when not started or already stopped; after it returns
    // `emit` is never called again.
    virtual void stop() = 0;
    // For log lines ("/dev/ttyUSB0", "test").
    virtual std::string describe() const = 0;

    // Commands. A device without the feature answers false and does nothing.
    virtual bool playTones(const std::vector<Tone>& tones, int volume) {
        (void)tones, (void)volume;
        return false;
    }
    virtual bool beepCommand(int kind) {
        (void)kind;
        return false;
    }
    virtual bool showMessage(const std::string& text) {
        (void)text;
        return false;
    }
    virtual bool setClock(std::chrono::system_clock::time_point now) {
        (void)now;
        return false;
    }
    virtual bool eraseMemory() { return false; }
};

}  // namespace torvane
