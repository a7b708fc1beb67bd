#pragma once
#include <windows.h>

// Opens the help: the WinHelp file beside the program when there is one. Without it, the
// HTML help beside the program opens in the browser, since today's systems have no WinHelp
// viewer and a request for a missing file only brings up a search dialog.
void OpenHelpContents(HWND owner);
// The pop-up topic of a control, under the same rule.
void OpenHelpPopup(HWND owner, DWORD context);
