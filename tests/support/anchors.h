#pragma once
// The six anchor settings in one call, for test tables.
#include <cstdint>

#include "display/mascot_settings.h"

inline MascotSettings anchors(int32_t x, int32_t per_dot_x, int32_t left_right, int32_t y, int32_t per_dot_y,
                              int32_t top_bottom)
{
    MascotSettings s;
    s.PositionX = x;
    s.WidthPerDot = per_dot_x;
    s.WidthLeftRight = left_right;
    s.PositionY = y;
    s.HeightPerDot = per_dot_y;
    s.HeightTopBottom = top_bottom;
    return s;
}
