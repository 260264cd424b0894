#include "devices/BtScanner.h"

#include <chrono>
#include <type_traits>
#include <utility>

#include "devices/BtScannerDelegate.h"
#include "platform/Log.h"
#include "platform/ui/Ui.h"

namespace torvane {

namespace {
BtScanner::SourceFactory& defaultFactory() {
    static BtScanner::SourceFactory factory;
    return factory;
}
}  // namespace

void BtScanner::setDefaultSourceFactory(SourceFactory factory) { defaultFactory() = std::move(factory); }

std::unique_ptr<ScannerSource> BtScanner::makeDefaultSource() {
    const SourceFactory& factory = defaultFactory();
    return factory ? factory() : nullptr;
}

BtScanner::BtScanner(ui::Ui& ui, std::unique_ptr<ScannerSource> source)
    : ui_(ui), source_(std::move(source)), alive_(std::make_shared<BtScanner*>(this)) {
    display_.fill(' ');
    display_[kDisplayLength] = '\0';
}

BtScanner::~BtScanner() {
    alive_.reset();
    if (source_) source_->stop();
}

void BtScanner::ConnectDevice() {
    if (started_) return;
    const unsigned long long session = ++session_;
    std::weak_ptr<BtScanner*> weak = alive_;
    ui::Ui* ui = &ui_;
    auto emit = [ui, weak, session](ScannerEvent event) {
        ui->postToMain([weak, session, event = std::move(event)] {
            auto self = weak.lock();
            if (!self || (*self)->session_ != session) return;
            (*self)->deliver(event);
        });
    };
    if (!source_) {
        Log::line("BT: nessuno scanner configurato");
        emit(scanner::StateChanged{0});
        return;
    }
    started_ = true;
    source_->stop();  // a reading that ended on its own is joined before it restarts
    source_->start(emit);
}

void BtScanner::Disconnect() {
    ++session_;
    if (source_) source_->stop();
    started_ = false;
    connected_ = false;
}

void BtScanner::SyncScannerClock() {
    if (source_ && connected_) source_->setClock(std::chrono::system_clock::now());
}

void BtScanner::HandleScannerMessage() {
    if (source_ && connected_) source_->showMessage(displayText());
}

void BtScanner::SendBeepCommand(int kind) {
    if (source_ && connected_) source_->beepCommand(kind);
}

void BtScanner::EraseScannerMemory() {
    if (source_ && connected_) source_->eraseMemory();
}

void BtScanner::fillDisplayBuffer(const std::string& text) {
    display_.fill(' ');
    display_[kDisplayLength] = '\0';
    constexpr std::size_t kMostRead = 100;
    std::size_t written = 0, read = 0, i = 0;
    while (i < text.size() && read < kMostRead && written < kDisplayLength) {
        const auto byte = static_cast<unsigned char>(text[i++]);
        ++read;
        if (byte >= 0x20 && byte < 0x7F) {
            display_[written++] = static_cast<char>(byte);
            continue;
        }
        // The display shows plain ASCII only: a control character or a whole multi-byte
        // character (lead byte and its continuation bytes) shows as one '?'.
        if (byte >= 0xC0)
            while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
        display_[written++] = '?';
    }
}

void BtScanner::deliver(const ScannerEvent& event) {
    std::visit(
        [&](const auto& e) {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, scanner::StateChanged>) {
                if (e.state == 1) return;  // still connecting: nothing to show yet
                connected_ = e.state == 2;
                if (!connected_) started_ = false;  // the device went away: it may be connected again
                if (delegate_) delegate_->DisplayConnectionStatus();
            } else if constexpr (std::is_same_v<E, scanner::Barcode>) {
                if (delegate_) delegate_->BarcodeDataArrived(e.text.c_str());
            } else if constexpr (std::is_same_v<E, scanner::DeviceInfo>) {
                info_ = e.info;
                if (connected_ && delegate_) delegate_->DisplayConnectionStatus();
            } else if constexpr (std::is_same_v<E, scanner::PleaseWait>) {
                pleaseWait_ = true;
            } else if constexpr (std::is_same_v<E, scanner::SynchronizeFinished>) {
                if (delegate_) delegate_->SynchronizeFinished();
            }
            // Cards and buttons belong to the sled.
        },
        event);
}

}  // namespace torvane
