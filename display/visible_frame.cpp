#include "display/visible_frame.h"

#include <algorithm>

Rect32 visible_frame(const Rect32& window_rect, bool frame_read, const Rect32& frame_rect)
{
    if (!frame_read)
        return window_rect;
    const Rect32 clamped = {std::max(frame_rect.left, window_rect.left), std::max(frame_rect.top, window_rect.top),
                            std::min(frame_rect.right, window_rect.right),
                            std::min(frame_rect.bottom, window_rect.bottom)};
    const bool has_area = clamped.left < clamped.right && clamped.top < clamped.bottom;
    return has_area ? clamped : window_rect;
}
