#pragma once
#include <windows.h>

// DwmGetWindowAttribute, found in dwmapi.dll at run time and loaded once. False when the
// library or the function is missing or the call fails.
bool read_dwm_window_attribute(HWND window, unsigned long attribute, void* value, unsigned long size);
