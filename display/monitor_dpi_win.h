#pragma once
#include <windows.h>

#include <cstdint>

#include "display/geometry.h"

// The dots per inch of the monitor a screen rectangle is on (the one it overlaps most, else the
// nearest): the monitor's own where the system can tell it (Windows 8.1 on), the system's
// otherwise. The newer functions are looked for at run time, once.
int32_t MonitorDpiFor(const Rect32& rect);

// The system's dots per inch, the one value of systems without a DPI for each monitor.
int32_t SystemDpi();

// The dots per inch a window is laid out for: the window's own (Windows 10 on), else its
// monitor's.
int32_t WindowDpi(HWND window);

// A system metric (SM_CXSMICON, say) as it is for a window at `dpi`: asked of the system
// where it can answer for any DPI (Windows 10 on), else the system's value scaled from the
// system's DPI.
int32_t SystemMetricForDpi(int index, int32_t dpi);
