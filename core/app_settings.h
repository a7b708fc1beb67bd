#pragma once
#include <cstdint>

#include "display/mascot_settings.h"

// The global settings. The rule block sits between MaxMascotCount and the three values
// that only the settings pages write, as one piece that placement can take instead of a
// mascot's own block.
struct AppSettings {
    uint32_t MaxMascotCount = 0;
    RuleBlock rules;
    int32_t NoWindowFlag = 0;
    int32_t MouseOverHide = 0;
    int32_t Random = 0;
};

constexpr uint32_t kDefaultMaxMascotCount = 10;
