// The program's entry point: single-instance test, start-up, message loop, shutdown.
#include <windows.h>
#include <objbase.h>

#include "core/application_win.h"
#include "core/controller_win.h"
#include "core/roster_win.h"
#include "core/settings_win.h"
#include "core/single_instance.h"
#include "core/wide_text_win.h"
#include "library/extraction_folder_win.h"
#include "library/mascot_cache_win.h"
#include "resources/icon_ids.h"

namespace {

void CreateFolderWhenMissing(const std::string& path)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(Wide(path).c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        return;
    }
    CreateDirectoryW(Wide(path).c_str(), nullptr);
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
    g_app.mutex = CreateMutexW(nullptr, FALSE, L"Velmo2");
    if (another_instance_runs(g_app.mutex != nullptr, GetLastError())) {
        if (g_app.mutex)
            CloseHandle(g_app.mutex);
        return 0;
    }
    // The shell's icon and verb handlers, which SHGetFileInfo and ShellExecute may run, need
    // COM on the thread, in a single-threaded apartment as a window thread has.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    // What an earlier run left extracted (it ended without its exit) is of no use to this one.
    EmptyExtractionFolder();
    LoadCache();

    SetUpApplication(instance);
    g_app.small_icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                     LR_DEFAULTCOLOR));
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
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    ShutDown();
    if (SUCCEEDED(com))
        CoUninitialize();
    return static_cast<int>(message.wParam);
}
