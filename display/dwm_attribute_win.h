#pragma once
#include <windows.h>

// DwmGetWindowAttribute, found in dwmapi.dll at its first use so that the program also starts
// where there is no DWM. False when the library or the function is missing or the call fails.
bool read_dwm_window_attribute(HWND window, unsigned long attribute, void* value, unsigned long size);
