#pragma once
#include <windows.h>

#include "display/geometry.h"

// The window's visible frame (see visible_frame); false, with rect unchanged, when not even
// the window's rectangle can be read.
bool ReadVisibleFrame(HWND window, Rect32& rect);
