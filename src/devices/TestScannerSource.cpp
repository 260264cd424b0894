#include "devices/TestScannerSource.h"

#include <utility>

namespace torvane {

void TestScannerSource::start(Emit emit) {
    {
        std::lock_guard lock(mutex_);
        emit_ = std::move(emit);
    }
    if (connectsOnStart_) feed(scanner::StateChanged{2});
}

void TestScannerSource::stop() {
    std::lock_guard lock(mutex_);
    emit_ = nullptr;
}

bool TestScannerSource::running() const {
    std::lock_guard lock(mutex_);
    return static_cast<bool>(emit_);
}

void TestScannerSource::feed(ScannerEvent event) {
    // Emitting under the lock keeps `stop` a true barrier: once it returns nothing more is sent.
    std::lock_guard lock(mutex_);
    if (emit_) emit_(std::move(event));
}

bool TestScannerSource::playTones(const std::vector<Tone>& tones, int volume) {
    std::lock_guard lock(mutex_);
    if (!canBeep) return false;
    tones_.push_back(tones);
    volumes_.push_back(volume);
    return true;
}

bool TestScannerSource::beepCommand(int kind) {
    std::lock_guard lock(mutex_);
    beepCommands_.push_back(kind);
    return true;
}

bool TestScannerSource::showMessage(const std::string& text) {
    std::lock_guard lock(mutex_);
    messages_.push_back(text);
    return true;
}

bool TestScannerSource::setClock(std::chrono::system_clock::time_point) {
    std::lock_guard lock(mutex_);
    ++clockSyncs_;
    return true;
}

bool TestScannerSource::eraseMemory() {
    std::lock_guard lock(mutex_);
    ++erases_;
    return true;
}

std::vector<std::vector<Tone>> TestScannerSource::tones() const {
    std::lock_guard lock(mutex_);
    return tones_;
}
std::vector<int> TestScannerSource::volumes() const {
    std::lock_guard lock(mutex_);
    return volumes_;
}
std::vector<int> TestScannerSource::beepCommands() const {
    std::lock_guard lock(mutex_);
    return beepCommands_;
}
std::vector<std::string> TestScannerSource::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}
int TestScannerSource::clockSyncs() const {
    std::lock_guard lock(mutex_);
    return clockSyncs_;
}
int TestScannerSource::erases() const {
    std::lock_guard lock(mutex_);
    return erases_;
}

}  // namespace torvane
