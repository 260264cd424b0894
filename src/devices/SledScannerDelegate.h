#pragma once

#include <optional>
#include <string>

namespace torvane {

// What a screen hears from the sled scanner while it is one of its delegates. Always called on
// the main thread. Every event has a default that ignores it.
class SledScannerDelegate {
public:
    virtual ~SledScannerDelegate() = default;

    // 0 disconnected, 1 connecting, 2 connected.
    virtual void connectionState(int state) { (void)state; }
    virtual void barcodeData(const std::string& text, int type) { (void)text, (void)type; }
    virtual void magneticCardData(const std::optional<std::string>& track1,
                                  const std::optional<std::string>& track2,
                                  const std::optional<std::string>& track3) {
        (void)track1, (void)track2, (void)track3;
    }
    virtual void sledButtonPressed(int button) { (void)button; }
    virtual void sledButtonReleased(int button) { (void)button; }
};

}  // namespace torvane
