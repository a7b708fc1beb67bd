#pragma once
#include <cstdint>

// Where a span of `size` starts when it is centred on a span of `extent`: half the free space,
// rounded toward zero. A span larger than the extent starts before it, at a negative offset.
int32_t CentredOffset(int32_t extent, int32_t size);

struct CentredPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// The top-left corner that centres a width x height box on a screen_width x screen_height area.
CentredPoint CentredOrigin(int32_t screen_width, int32_t screen_height, int32_t width, int32_t height);
