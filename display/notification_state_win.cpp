#include "display/notification_state_win.h"

#include <windows.h>

#include "display/system_library_win.h"

namespace {

using QueryNotificationStateFn = HRESULT(WINAPI*)(int*);

QueryNotificationStateFn LoadQueryNotificationState()
{
    HMODULE shell = LoadSystemLibrary(L"shell32.dll");
    if (!shell)
        return nullptr;
    return reinterpret_cast<QueryNotificationStateFn>(
        reinterpret_cast<void*>(GetProcAddress(shell, "SHQueryUserNotificationState")));
}

}  // namespace

bool read_user_notification_state(int& state)
{
    static const QueryNotificationStateFn query = LoadQueryNotificationState();
    int answer = 0;
    if (!query || FAILED(query(&answer)))
        return false;
    state = answer;
    return true;
}
