#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstddef>

// The first forms of the tray and menu-item records, which every version of Windows accepts.
// Their sizes depend on the architecture: the system refuses a 32-bit program's sizes (152 and
// 44 bytes) from a 64-bit program, whose first forms are 168 and 72 bytes.
constexpr DWORD kTrayRecordSize = offsetof(NOTIFYICONDATAW, szTip) + 64 * sizeof(WCHAR);
constexpr UINT kMenuItemRecordSize = offsetof(MENUITEMINFOW, hbmpItem);

static_assert(kTrayRecordSize == (sizeof(void*) == 8 ? 168 : 152), "first form of NOTIFYICONDATAW");
static_assert(kMenuItemRecordSize == (sizeof(void*) == 8 ? 72 : 44), "first form of MENUITEMINFOW");
