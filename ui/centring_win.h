#pragma once
#include <windows.h>

// Moves a window to the middle of the screen the program measured at start, keeping its size
// and Z order, and shows it.
void CentreWindow(HWND window);
