#pragma once
#include <windows.h>

// Loads one of the system's own libraries from the system folder alone, never from the
// program's folder or the current one, where a planted copy of the same name could stand.
// Systems that can restrict the search (Windows 8, and 7 with its loader update) are asked to;
// older ones are given the library's full path in the system folder. Null when it is missing.
HMODULE LoadSystemLibrary(const wchar_t* name);
