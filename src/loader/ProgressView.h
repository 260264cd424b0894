#pragma once

#include <string>

#include "platform/Http.h"

namespace torvane {

// The progress panel a catalogue run reports to: two text lines and a bar from 0 to 1.
// The loader calls it from its own thread; an implementation hands the drawing to the main
// thread itself (the settings screen's panel, the terminal bar of the command line).
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void setLabel1Activity(const std::string& text) = 0;
    virtual void setLabel2Activity(const std::string& text) = 0;
    virtual void updateProgressBar(float value) = 0;

    // A download under way, a few times a second: by default its text on the second line
    // ("12,3 MB di 84,0 MB - 2,1 MB/s") and, when the total is known, the bar.
    virtual void updateDownload(const HttpProgress& progress);

    // "Downloading ... 12,3 MB di 84,0 MB - 2,1 MB/s"; without a total, the bytes received.
    static std::string downloadText(const HttpProgress& progress);
};

}  // namespace torvane
