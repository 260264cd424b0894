#include "devices/FirmaViewController.h"

#include <chrono>

#include "devices/Signature.h"
#include "devices/SignaturePadDelegate.h"
#include "platform/DateFormat.h"
#include "platform/Format.h"
#include "platform/PreferenceKeys.h"
#include "platform/Preferences.h"
#include "platform/ui/Ui.h"

namespace torvane {

FirmaViewController::FirmaViewController(ui::Ui& ui, SignaturePadDelegate* delegate) : Screen(ui), delegate_(delegate) {
    setTitle("Firma");
    pad_.pressureEnabled = Preferences::standard().boolForKey(keys::pressureEnabled);
}

std::vector<ui::Section> FirmaViewController::sections() const {
    ui::Label tratti;
    tratti.text = pad_.isEmpty() ? "Area firma vuota" : format("Tratti: %d", static_cast<long long>(pad_.strokes().size()));
    ui::Row area;
    area.items = {tratti};
    area.selectable = false;
    ui::Button annulla;
    annulla.action = "reset";
    annulla.title = "Annulla";
    annulla.pressedTitle = "Pulisco area firma";
    annulla.color = ui::Color{0, 0, 0};
    ui::Button conferma;
    conferma.action = "done";
    conferma.title = "Conferma";
    conferma.color = ui::Color{0, 0, 255};
    ui::Row buttons;
    buttons.items = {annulla, conferma};
    buttons.selectable = false;
    return {ui::Section{"Firma", "", {area}}, ui::Section{"", "", {buttons}}};
}

void FirmaViewController::buttonTapped(const std::string& action, ui::IndexPath) {
    if (action == "reset") reset();
    else if (action == "done") {
        done();
        reset();
    }
}

bool FirmaViewController::cancelModal() {
    reset();  // before the delegate, which dismisses the pad
    if (delegate_) delegate_->didDismissModalView();
    return true;
}

void FirmaViewController::reset() {
    pad_.reset();
    redraw();
}

void FirmaViewController::done() {
    if (!delegate_) return;
    if (pad_.isEmpty()) {
        delegate_->signaturePadDidCompleteWithNoData();
        return;
    }
    const auto now = std::chrono::system_clock::now();
    auto image = SignatureRenderer::png(pad_, kExportScale, DateFormat("dd/MM/yyyy HH:mm").format(now));
    if (!image) {
        ui().showAlert(ui::Alert::simple(std::nullopt, "There was a problem generating your signature.", "OK"));
        return;
    }
    Signature signature;
    signature.imageData = std::move(*image);
    signature.hashString = pad_.hashString();
    signature.frame = pad_.frame();
    signature.rawPoints = pad_.rawPoints();
    signature.timestamp = std::chrono::duration<double>(now.time_since_epoch()).count();
    delegate_->signaturePadDidCompleteWithSignature(signature);
}

}  // namespace torvane
