#pragma once
#include <cstdint>

// A screen rectangle as window rectangles come: right and bottom are exclusive.
struct Rect32 {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

inline bool operator==(const Rect32& a, const Rect32& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const Rect32& a, const Rect32& b) { return !(a == b); }

struct Point32 {
    int32_t x = 0, y = 0;
};
