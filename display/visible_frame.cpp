#include "display/visible_frame.h"

Rect32 visible_frame(const Rect32& window_rect, bool frame_read, const Rect32& frame_rect)
{
    if (!frame_read)
        return window_rect;
    const bool has_area = frame_rect.left < frame_rect.right && frame_rect.top < frame_rect.bottom;
    const bool within = frame_rect.left >= window_rect.left && frame_rect.top >= window_rect.top &&
                        frame_rect.right <= window_rect.right && frame_rect.bottom <= window_rect.bottom;
    return has_area && within ? frame_rect : window_rect;
}
