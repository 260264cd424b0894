#pragma once

#include <string>

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
};

}  // namespace torvane
