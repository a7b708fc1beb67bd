#pragma once
#include <windows.h>

// The about box (dialog 107): program and library versions and the link to the web page.
INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Opens a link's address with the shell; the caller closes its dialog whatever happens.
void OpenLinkAddress(const wchar_t* address);
