#pragma once
#include "display/geometry.h"

// The part of a window the user sees. On Windows 10 and 11 a window's rectangle includes
// invisible resize borders (and a maximised window's reaches past its monitor), while the
// compositor reports the frame actually drawn. The frame read is cut to the window's rectangle:
// for a window the system scales for an older program the compositor's answer can stick out by
// a pixel of rounding, and the frame without that pixel is still nearer what the user sees than
// the window's rectangle with its borders. A failed read, or a frame that keeps no area inside
// the window's rectangle, leaves the window's rectangle, as it is where no compositor runs.
Rect32 visible_frame(const Rect32& window_rect, bool frame_read, const Rect32& frame_rect);
