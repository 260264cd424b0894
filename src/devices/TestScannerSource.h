#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "devices/ScannerSource.h"

namespace torvane {

// A scanner driven by hand: tests, demos and scripts feed it scans, cards, button presses and
// state changes, and read back the commands it was sent. Feeding works from any thread; while
// it is not started (the scanner is not connected) what is fed is lost, as with a real device.
class TestScannerSource final : public ScannerSource {
public:
    // With `connectsOnStart` the device reports itself connected as soon as it is started.
    explicit TestScannerSource(bool connectsOnStart = true) : connectsOnStart_(connectsOnStart) {}

    void start(Emit emit) override;
    void stop() override;
    std::string describe() const override { return "test"; }
    bool running() const;

    void feed(ScannerEvent event);
    void scan(std::string text, int type = 0) { feed(scanner::Barcode{std::move(text), type}); }
    void swipe(std::optional<std::string> track1, std::optional<std::string> track2,
               std::optional<std::string> track3) {
        feed(scanner::MagneticCard{std::move(track1), std::move(track2), std::move(track3)});
    }
    void press(int button) { feed(scanner::Button{button, true}); }
    void release(int button) { feed(scanner::Button{button, false}); }
    void setState(int state) { feed(scanner::StateChanged{state}); }

    // Commands received.
    bool canBeep = true;
    bool playTones(const std::vector<Tone>& tones, int volume) override;
    bool beepCommand(int kind) override;
    bool showMessage(const std::string& text) override;
    bool setClock(std::chrono::system_clock::time_point now) override;
    bool eraseMemory() override;

    std::vector<std::vector<Tone>> tones() const;
    std::vector<int> volumes() const;
    std::vector<int> beepCommands() const;
    std::vector<std::string> messages() const;
    int clockSyncs() const;
    int erases() const;

private:
    bool connectsOnStart_;
    mutable std::mutex mutex_;
    Emit emit_;
    std::vector<std::vector<Tone>> tones_;
    std::vector<int> volumes_;
    std::vector<int> beepCommands_;
    std::vector<std::string> messages_;
    int clockSyncs_ = 0;
    int erases_ = 0;
};

}  // namespace torvane
