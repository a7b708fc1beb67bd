#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The settings sheet's first page (dialog 105): the mascot library with check boxes for the
// mascots that run once the sheet closes, the live preview of the selected row with its
// placement and refusal settings, the cache clear and the random-choice box.
INT_PTR CALLBACK MascotPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

// For a session that ends while the sheet is open, when the roster is empty: stores the
// preview's settings and answers the source paths that closing the sheet would start.
// Empty when the page has already closed, having started them itself.
std::vector<std::string> SaveMascotPageForSessionEnd(HWND sheet);
