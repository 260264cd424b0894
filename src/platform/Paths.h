#pragma once

#include <string>

namespace torvane {

// The folders the platform gives an application. By default the XDG locations; with
// TORVANE_HOME set, or after `setRoot` (the --data-dir option), all of them, the preferences
// file included, live under one folder, which keeps tests and scripted runs apart.
class Paths {
public:
    static std::string documents();    // store files
    static std::string caches();       // photo cache
    static std::string temporary();    // documents being written for transmission
    static std::string config();       // preferences
    static std::string preferencesFile();

    // Puts every folder under `root`; an empty root goes back to the defaults.
    static void setRoot(const std::string& root);
    static std::string root();  // empty when the XDG locations are in use

    // Creates the folder (and its parents) when missing, private to this user; returns it.
    static std::string ensure(const std::string& folder);
};

}  // namespace torvane
