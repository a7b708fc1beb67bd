#include "ui/centring.h"

// C++ division truncates toward zero, which is the rounding wanted for both signs: a box one
// pixel narrower than its area lands at 0, not at 1, and one pixel wider lands at 0, not at -1.
int32_t CentredOffset(int32_t extent, int32_t size)
{
    const int64_t free_space = static_cast<int64_t>(extent) - size;
    return static_cast<int32_t>(free_space / 2);
}

CentredPoint CentredOrigin(int32_t screen_width, int32_t screen_height, int32_t width, int32_t height)
{
    return {CentredOffset(screen_width, width), CentredOffset(screen_height, height)};
}
