#pragma once
#include <cstdint>

// The five refusal rules. The global settings and every mascot hold one block each, and
// placement copies one block or the other whole.
struct RuleBlock {
    int32_t MaximizeWindow = 0;
    int32_t OutScreenMascot = 0;
    int32_t MinimizeWindow = 0;
    int32_t sizeMinimizeX = 0;
    int32_t sizeMinimizeY = 0;
};

// A mascot's own placement and rules; NonTargetAll 1 means the global rule block applies.
struct MascotSettings {
    int32_t PositionX = 75;
    int32_t WidthPerDot = 1;
    int32_t WidthLeftRight = 1;
    int32_t PositionY = 0;
    int32_t HeightPerDot = 1;
    int32_t HeightTopBottom = 1;
    int32_t NonTargetAll = 1;
    RuleBlock rules;
};
