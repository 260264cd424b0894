#pragma once

#include <string>

namespace torvane {

// Facts about the device the system runs on.
class Device {
public:
    // A stable identifier of this device: derived from the machine id when there is one,
    // else generated once and kept in the configuration folder.
    static std::string identifier();
    // The operating system's name and version, e.g. "Debian GNU/Linux 12 (bookworm)".
    static std::string systemVersion();
};

}  // namespace torvane
