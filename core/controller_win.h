#pragma once
#include <windows.h>

bool RegisterControllerClass();
HWND CreateControllerWindow();
// Everything the orderly exit writes: settings, exclusion list, running mascots, cache.
void SaveEverything();
