#include "devices/SledScanner.h"

#include <algorithm>
#include <type_traits>
#include <utility>

#include "devices/ScannerText.h"
#include "devices/SledScannerDelegate.h"
#include "platform/Log.h"
#include "platform/ui/Ui.h"

namespace torvane {

namespace {
std::optional<std::string> track(const std::optional<std::string>& raw) {
    if (!raw) return std::nullopt;
    return scannedText(*raw);
}
}  // namespace

SledScanner& SledScanner::sharedDevice() {
    static SledScanner device;
    return device;
}

SledScanner::SledScanner() : alive_(std::make_shared<SledScanner*>(this)) {}

SledScanner::SledScanner(std::unique_ptr<ScannerSource> source) : SledScanner() {
    source_ = std::move(source);
}

SledScanner::~SledScanner() {
    alive_.reset();
    stopSource();
}

void SledScanner::setUi(ui::Ui& ui) {
    // A running source posts to the Ui it was started with: restart it on the new one.
    if (ui_ != &ui && state_ != Disconnected) disconnect();
    ui_ = &ui;
}

void SledScanner::setSource(std::unique_ptr<ScannerSource> source) {
    disconnect();
    source_ = std::move(source);
}

void SledScanner::addDelegate(SledScannerDelegate* delegate) {
    if (!delegate || std::find(delegates_.begin(), delegates_.end(), delegate) != delegates_.end())
        return;
    delegates_.push_back(delegate);
}

void SledScanner::removeDelegate(SledScannerDelegate* delegate) {
    std::erase(delegates_, delegate);
}

void SledScanner::connect() {
    if (!ui_) {
        Log::line("Sled: nessuna interfaccia per gli eventi, connessione non tentata");
        return;
    }
    if (state_ != Disconnected) return;

    // A source whose reading ended on its own (device gone) is joined before it restarts.
    stopSource();
    const unsigned long long session = ++session_;
    std::weak_ptr<SledScanner*> weak = alive_;
    ui::Ui* ui = ui_;
    auto emit = [ui, weak, session](ScannerEvent event) {
        ui->postToMain([weak, session, event = std::move(event)] {
            auto self = weak.lock();
            if (!self || (*self)->session_ != session) return;
            (*self)->deliver(event);
        });
    };

    if (!source_) {
        Log::line("Sled: nessun dispositivo configurato");
        emit(scanner::StateChanged{Disconnected});
        return;
    }
    state_ = Connecting;
    emit(scanner::StateChanged{Connecting});
    source_->start(emit);
}

void SledScanner::disconnect() {
    ++session_;
    stopSource();
    if (state_ == Disconnected) return;
    state_ = Disconnected;
    deliver(scanner::StateChanged{Disconnected});
}

void SledScanner::deliverTypedScan(const std::string& text) { deliver(scanner::Barcode{text, 0}); }

void SledScanner::stopSource() {
    if (source_) source_->stop();
}

bool SledScanner::playSound(int volume, std::span<const int> beepData, std::string* error) {
    auto fail = [error](const char* why) {
        if (error) *error = why;
        return false;
    };
    if (beepData.empty() || beepData.size() % 2 != 0)
        return fail("i dati del suono non sono coppie frequenza/durata");
    std::vector<Tone> tones;
    for (std::size_t i = 0; i < beepData.size(); i += 2) {
        if (beepData[i] < 0 || beepData[i + 1] < 0) return fail("frequenza o durata negativa");
        tones.push_back({beepData[i], beepData[i + 1]});
    }
    if (!source_ || state_ != Connected) return fail("sled non connesso");
    if (!source_->playTones(tones, std::clamp(volume, 0, 100)))
        return fail("il dispositivo non emette suoni");
    return true;
}

void SledScanner::deliver(const ScannerEvent& event) {
    // A delegate may remove itself or another while hearing an event.
    const std::vector<SledScannerDelegate*> listeners = delegates_;
    auto stillListening = [this](SledScannerDelegate* d) {
        return std::find(delegates_.begin(), delegates_.end(), d) != delegates_.end();
    };
    std::visit(
        [&](const auto& e) {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, scanner::StateChanged>) {
                // A state the sled does not know is told, but not taken as its own.
                if (e.state >= Disconnected && e.state <= Connected) state_ = e.state;
            }
            for (SledScannerDelegate* d : listeners) {
                if (!stillListening(d)) continue;
                if constexpr (std::is_same_v<E, scanner::StateChanged>) {
                    d->connectionState(e.state);
                } else if constexpr (std::is_same_v<E, scanner::Barcode>) {
                    d->barcodeData(scannedText(e.text), e.type);
                } else if constexpr (std::is_same_v<E, scanner::MagneticCard>) {
                    d->magneticCardData(track(e.track1), track(e.track2), track(e.track3));
                } else if constexpr (std::is_same_v<E, scanner::Button>) {
                    if (e.pressed)
                        d->sledButtonPressed(e.button);
                    else
                        d->sledButtonReleased(e.button);
                }
                // The handheld's own events mean nothing to the sled.
            }
        },
        event);
}

}  // namespace torvane
