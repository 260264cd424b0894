#pragma once

#include <string>

namespace torvane::gui {

// `torvane --script FILE`: the script runner's commands, with the screens drawn by the real
// window as they go (1024 × 768), plus `shot FILE.png` (the window, or the dialog in front,
// as a picture) and `pause MS` (the window keeps running meanwhile). Exit status as the
// runner's: 0 done, 1 an expectation failed, 2 a script error.
class WindowScript {
public:
    static int run(const std::string& path);
};

}  // namespace torvane::gui
