#include "core/display_layout_win.h"

#include <cstring>

#include "core/application_win.h"

namespace {

Rect32 ToRect32(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

Rect32 WindowRect(HWND window)
{
    RECT rect = {};
    if (!window || !GetWindowRect(window, &rect))
        return {};
    return ToRect32(rect);
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info))
        reinterpret_cast<std::vector<Rect32>*>(context)->push_back(ToRect32(info.rcMonitor));
    return TRUE;
}

BOOL CALLBACK AddSecondaryTaskbar(HWND window, LPARAM context)
{
    char class_name[32] = {};
    if (GetClassNameA(window, class_name, sizeof class_name) && std::strcmp(class_name, "Shell_SecondaryTrayWnd") == 0)
        reinterpret_cast<std::vector<Rect32>*>(context)->push_back(WindowRect(window));
    return TRUE;
}

bool HasClass(HWND window, const char* name)
{
    char class_name[32] = {};
    return GetClassNameA(window, class_name, sizeof class_name) && std::strcmp(class_name, name) == 0;
}

}  // namespace

void ReadDisplayLayout()
{
    g_app.screen_width = GetSystemMetrics(SM_CXSCREEN);
    g_app.screen_height = GetSystemMetrics(SM_CYSCREEN);
    g_app.taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    DisplayLayout layout;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&layout.monitors));
    if (layout.monitors.empty())
        layout.monitors.push_back({0, 0, g_app.screen_width, g_app.screen_height});
    layout.primary_taskbar = WindowRect(g_app.taskbar);
    EnumWindows(AddSecondaryTaskbar, reinterpret_cast<LPARAM>(&layout.other_taskbars));
    g_app.display = layout;
}

bool IsDesktopOrShellWindow(HWND window)
{
    return window == GetDesktopWindow() || window == g_app.desktop || window == g_app.taskbar ||
           HasClass(window, "Shell_SecondaryTrayWnd") || HasClass(window, "WorkerW") || HasClass(window, "Progman");
}
