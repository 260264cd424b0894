#pragma once

#include <string>

namespace torvane {

// The application bundle: where the shipped resources are and which version this is.
// Resources are looked up in TORVANE_RESOURCES, then beside the installed program
// (<prefix>/share/torvane), then in the source tree (running from the build folder).
class Bundle {
public:
    static std::string resourcesDir();
    static std::string resourcePath(const std::string& relative);  // empty when missing
    static std::string settingsBundleDir();                       // resources/Settings.bundle
    static std::string version();                                 // the bundle version

    // Overrides the resources folder (tests); empty goes back to the lookup above.
    static void setResourcesDir(const std::string& dir);
};

}  // namespace torvane
