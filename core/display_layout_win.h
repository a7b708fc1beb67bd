#pragma once
#include <windows.h>

#include "display/geometry.h"

// Reads the primary screen's size, the monitors, their work areas and the taskbar windows into
// the application object, and, when that layout differs from the last one read, makes every
// mascot be placed again at its next tick. Called at start and
// whenever the system announces a change of displays, work area or taskbar, and on a tick
// that finds the screens changed without one (below).
void ReadDisplayLayout();

// Reads the layout again when the system metrics of the screens (their count, the virtual
// screen, the primary screen's size) differ from those of the last read. Called on every tick:
// the announcement of a new layout can reach the program before the program sees the layout,
// and then nothing else would tell it.
void ReadDisplayLayoutIfScreensChanged();

// The taskbar rectangle a refused mascot stands on for this target: the taskbar windows are
// the ones last announced, their rectangles are read now, or kept from the last read while a
// taskbar window is gone.
Rect32 TaskbarRectFor(const Rect32& target);

// True for the desktop and the shell's own windows: the full-screen rule never refuses them
// and the exclusion picker never names their program.
bool IsDesktopOrShellWindow(HWND window);
