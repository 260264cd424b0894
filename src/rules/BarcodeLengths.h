#pragma once

namespace torvane {

// The code lengths that tell scanned codes apart, read from the preferences at every scan
// (the settings screen may change them at any time). A length that is not set at all takes
// the shipped value.
struct BarcodeLengths {
    long long listino = 3;
    long long articolo = 6;
    long long articoloSerie = 12;
    long long colore = 5;
    long long cliente = 11;

    static BarcodeLengths fromPreferences();
};

}  // namespace torvane
