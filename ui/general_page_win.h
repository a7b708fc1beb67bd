#pragma once
#include <windows.h>

// The settings sheet's second page (dialog 108): the program-wide rules for refusing a
// window, what a refused mascot does, hiding under the cursor, and the programs whose
// windows mascots never sit on, added by dragging a picker onto one of their windows.
// Every change reaches the settings at once; the page has no apply step.
INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

// A session ending under the open sheet: the start-with-Windows box is applied as closing the
// sheet would apply it, since the page is never destroyed then. Nothing when the page was
// never shown.
void ApplyGeneralPageForSessionEnd(HWND sheet);
