#pragma once

#include <string>
#include <vector>

#include "devices/SignaturePad.h"

namespace torvane {

// A finished signature as the order receives it: the picture, a digest of its strokes, where
// it lies in the pad, the points and when it was completed.
struct Signature {
    std::vector<unsigned char> imageData;  // PNG
    std::string hashString;
    SignatureFrame frame;
    std::vector<SignaturePoint> rawPoints;
    double timestamp = 0;
};

// Where a signature lies, written as "{{x, y}, {width, height}}" for the log.
std::string signatureFrameText(const SignatureFrame& frame);

// The signature's picture: the strokes in black on white at `scale` of the pad's size, with
// the date written in a corner when given. None when cairo cannot make it.
class SignatureRenderer {
public:
    static std::optional<std::vector<unsigned char>> png(const SignaturePad& pad, double scale,
                                                         const std::string& date = {});
};

}  // namespace torvane
