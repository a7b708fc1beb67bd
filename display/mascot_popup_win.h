#pragma once
#include <windows.h>

#include "display/mascot_win.h"

// The show message: paint at once, show without activating, start the mascot's timer.
constexpr UINT kShowMascotMessage = WM_USER + 1;

// Registers the mascot's own window class, creates its popup, loads its frames and
// settings, places it and shows it. A mascot whose file does not load is still shown,
// empty, 100 x 100.
bool CreateMascot(Mascot& mascot, const char* full_path);
bool LoadMascot(Mascot& mascot, const char* full_path);
void DestroyMascot(Mascot& mascot);
