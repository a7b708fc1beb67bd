#include "display/visible_frame_win.h"

#include "display/dwm_attribute_win.h"
#include "display/visible_frame.h"

namespace {

// DWMWA_EXTENDED_FRAME_BOUNDS; the program's headers target Windows XP, which has no DWM.
constexpr unsigned long kExtendedFrameBounds = 9;

}  // namespace

bool ReadVisibleFrame(HWND window, Rect32& rect)
{
    RECT window_rect;
    if (!GetWindowRect(window, &window_rect))
        return false;
    RECT frame = {};
    const bool frame_read = read_dwm_window_attribute(window, kExtendedFrameBounds, &frame, sizeof frame);
    rect = visible_frame({window_rect.left, window_rect.top, window_rect.right, window_rect.bottom}, frame_read,
                         {frame.left, frame.top, frame.right, frame.bottom});
    return true;
}
