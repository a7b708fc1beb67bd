#pragma once
#include <windows.h>

#include "display/mascot_win.h"

// The show message: paint at once, show without activating, start the mascot's timer.
constexpr UINT kShowMascotMessage = WM_USER + 1;

// What becomes of a mascot whose file does not load.
enum class UnloadedMascot {
    show_empty,  // it is still shown, empty, 100 x 100
    discard,     // its window and class are gone again before anything shows
};

// Registers the mascot's own window class, creates its popup, loads its frames and
// settings, places it and shows it. True when the file loaded; with show_empty the empty
// mascot shows all the same. When its class or window cannot be made, it has no window and
// its class is not left registered.
bool CreateMascot(Mascot& mascot, const char* full_path, UnloadedMascot unloaded = UnloadedMascot::show_empty);
bool LoadMascot(Mascot& mascot, const char* full_path);
void DestroyMascot(Mascot& mascot);
