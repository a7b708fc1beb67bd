#pragma once
#include <windows.h>

#include <string>

#include "core/wide_text_win.h"

// The user's temporary folder, ending in a separator, whatever characters it has; empty when
// the system gives none.
inline std::string TemporaryFolder()
{
    wchar_t folder[MAX_PATH + 2] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 2, folder);
    return length > 0 && length < MAX_PATH + 2 ? Utf8(folder, length) : std::string();
}
