#pragma once

#include "devices/SignaturePad.h"
#include "platform/ui/Screen.h"

namespace torvane {

class SignaturePadDelegate;

// The signature pad screen: a white signing area (drawn by the platform's signing widget, or
// fed by `sign` in scripts) and two buttons. "Annulla" clears the strokes and keeps the pad
// open; "Conferma" hands the signature (or the news that nothing was drawn) to the delegate,
// then clears the pad. The delegate dismisses it.
class FirmaViewController : public ui::Screen {
public:
    static constexpr double kExportScale = 0.5;

    FirmaViewController(ui::Ui& ui, SignaturePadDelegate* delegate);

    std::string kind() const override { return "signature"; }
    std::vector<ui::Section> sections() const override;
    void buttonTapped(const std::string& action, ui::IndexPath where) override;
    // Closing the pad (Escape, the window's close button) is its dismissal: the signature there
    // was stays, and the delegate takes the pad away.
    bool cancelModal() override;

    SignaturePad& pad() { return pad_; }
    const SignaturePad& pad() const { return pad_; }
    // The strokes changed: draw again.
    void padChanged() { redraw(); }

    void done();
    void reset();

private:
    SignaturePadDelegate* delegate_;
    SignaturePad pad_;
};

}  // namespace torvane
