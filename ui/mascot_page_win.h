#pragma once
#include <windows.h>

// The settings sheet's first page (dialog 105): the mascot library with check boxes for the
// mascots that run once the sheet closes, the live preview of the selected row with its
// placement and refusal settings, the cache clear and the random-choice box.
INT_PTR CALLBACK MascotPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
