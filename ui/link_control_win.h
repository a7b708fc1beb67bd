#pragma once
#include <windows.h>

// Turns a static text control into a link: blue, underlined text centred in the control,
// a hand cursor over it. The owning dialog still sets its text and handles its clicks.
void MakeLinkControl(HWND dialog, HWND label);
