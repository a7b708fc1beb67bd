#pragma once
#include <windows.h>

// The modal two-page settings sheet (mascot page, general page), owned by the controller
// window. While it runs the controller shows as a minimised taskbar button; afterwards the
// window that was in front before is brought back. Does nothing while a sheet is open.
void OpenSettingsSheet();

// The sheet sizes its page area in the font of its own template, which comes in the system's
// language: elsewhere than on Japanese Windows that font is smaller than the pages' Japanese
// one, and the pages would be cut at their right and bottom edges. The sheet, its tabs and its
// buttons grow by what the page's template needs in the page's own font.
void FitSheetToPage(HWND sheet, HWND page, int template_id);

// Once closing begins the sheet takes no input and leaves the screen: a nested dialog's loop
// may keep its window alive for a while, and nothing changed on it then would be kept. It
// goes away for good when that loop ends.
void WithdrawClosingSheet(HWND sheet);
