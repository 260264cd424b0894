#pragma once

namespace torvane {

struct Signature;

// Hears how the signature pad ended; it dismisses the pad, the pad never closes itself.
class SignaturePadDelegate {
public:
    virtual ~SignaturePadDelegate() = default;
    virtual void signaturePadDidCompleteWithSignature(const Signature& signature) = 0;
    // "Conferma" with nothing drawn.
    virtual void signaturePadDidCompleteWithNoData() = 0;
    virtual void didDismissModalView() = 0;
};

}  // namespace torvane
