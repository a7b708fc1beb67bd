// The program's entry point: single-instance test, start-up, message loop, shutdown.
#include <windows.h>

#include "core/application_win.h"
#include "core/controller_win.h"
#include "core/instance_name.h"
#include "core/roster_win.h"
#include "core/settings_win.h"
#include "library/extraction_folder_win.h"
#include "library/mascot_cache_win.h"
#include "resources/icon_ids.h"

namespace {

void CreateFolderWhenMissing(const std::string& path)
{
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        return;
    }
    CreateDirectoryA(path.c_str(), nullptr);
}

void ShutDown()
{
    SaveEverything();
    g_app.exe_folder.clear();
    g_app.excluded.clear();
    StopAllMascots();
    EmptyExtractionFolder();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // A second instance ends at once and touches nothing. An instance started at another
    // integrity level holds a mutex this one may not open: a denied mutex is a running one.
    SetLastError(0);
    g_app.mutex = CreateMutexA(nullptr, FALSE, "Velmo2");
    if (another_instance_runs(g_app.mutex != nullptr, GetLastError())) {
        if (g_app.mutex)
            CloseHandle(g_app.mutex);
        return 0;
    }
    // What an earlier run left extracted (it ended without its exit) is of no use to this one.
    EmptyExtractionFolder();
    LoadCache();

    SetUpApplication(instance);
    g_app.small_icon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    LoadSettings();
    CreateFolderWhenMissing(g_app.exe_folder + "\\Mascots");
    CreateFolderWhenMissing(g_app.exe_folder + "\\Plugins");

    if (!RegisterControllerClass())
        return 0;
    const HWND controller = CreateControllerWindow();
    if (!controller)
        return 0;
    ShowWindow(controller, SW_HIDE);
    UpdateWindow(controller);

    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    ShutDown();
    return static_cast<int>(message.wParam);
}
