#pragma once
#include <windows.h>

// The mascot information dialog (dialog 111); the dialog parameter is the Mascot to describe,
// or none, which leaves the dialog empty.
INT_PTR CALLBACK MascotInfoProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
