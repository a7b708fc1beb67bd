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
