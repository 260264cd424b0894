#pragma once

#include <optional>

#include "platform/ui/Alert.h"

namespace torvane {

class CaricatoreDatabase;

// The alert that tells the agent how a catalogue run ended, as the settings screen shows it.
struct LoadResultAlert {
    // None for a result that has no alert.
    static std::optional<ui::Alert> forLoader(const CaricatoreDatabase& loader);
};

}  // namespace torvane
