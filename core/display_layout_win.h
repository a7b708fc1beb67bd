#pragma once
#include <windows.h>

// Reads the primary screen's size, the monitors and the taskbars into the application object.
// Called at start and whenever the system announces a change of displays, work area or
// taskbar; nothing of it is read again on a tick.
void ReadDisplayLayout();

// True for the windows that the full-screen rule never refuses: the desktop and the shell's
// own taskbars.
bool IsDesktopOrShellWindow(HWND window);
