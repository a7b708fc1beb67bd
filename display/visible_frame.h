#pragma once
#include "display/geometry.h"

// The part of a window the user sees. On Windows 10 and 11 a window's rectangle includes
// invisible resize borders (and a maximised window's reaches past its monitor), while the
// compositor reports the frame actually drawn. The frame is taken when it was read and lies
// within the window's rectangle; a failed read, an empty frame or one reaching outside the
// window's rectangle leaves the window's rectangle, as it is where no compositor runs.
Rect32 visible_frame(const Rect32& window_rect, bool frame_read, const Rect32& frame_rect);
