#pragma once
#include <windows.h>

// The modal two-page settings sheet (mascot page, general page), owned by the controller
// window. While it runs the controller shows as a minimised taskbar button; afterwards the
// window that was in front before is brought back. Does nothing while a sheet is open.
void OpenSettingsSheet();

// Once closing begins the sheet takes no input and leaves the screen: a nested dialog's loop
// may keep its window alive for a while, and nothing changed on it then would be kept. It
// goes away for good when that loop ends.
void WithdrawClosingSheet(HWND sheet);
