#include "core/display_layout_win.h"

#include <vector>

#include "core/application_win.h"
#include "core/wide_text_win.h"
#include "display/shell_windows.h"

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
    if (GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<Rect32>*>(context)->push_back(ToRect32(info.rcMonitor));
    return TRUE;
}

bool HasClass(HWND window, const wchar_t* name)
{
    wchar_t class_name[32] = {};
    return GetClassNameW(window, class_name, 32) && lstrcmpiW(class_name, name) == 0;
}

BOOL CALLBACK AddSecondaryTaskbar(HWND window, LPARAM context)
{
    if (HasClass(window, L"Shell_SecondaryTrayWnd"))
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

// The taskbars' rectangles as they are now: the shell moves and hides its taskbars without
// any announcement (auto-hide, a taskbar dragged to another edge).
DisplayLayout LayoutWithTaskbarsNow()
{
    DisplayLayout layout;
    layout.monitors = g_app.display.monitors;
    layout.primary_taskbar = WindowRect(g_app.taskbar);
    for (HWND taskbar : g_app.other_taskbar_windows)
        if (IsWindow(taskbar))
            layout.other_taskbars.push_back(WindowRect(taskbar));
    return layout;
}

// What the system metrics say of the screens at the last read of the layout.
struct ScreenMetrics {
    int monitors, left, top, width, height, primary_width, primary_height;
    bool operator==(const ScreenMetrics& other) const
    {
        return monitors == other.monitors && left == other.left && top == other.top && width == other.width &&
               height == other.height && primary_width == other.primary_width &&
               primary_height == other.primary_height;
    }
};

ScreenMetrics CurrentScreenMetrics()
{
    return {GetSystemMetrics(SM_CMONITORS),        GetSystemMetrics(SM_XVIRTUALSCREEN),
            GetSystemMetrics(SM_YVIRTUALSCREEN),   GetSystemMetrics(SM_CXVIRTUALSCREEN),
            GetSystemMetrics(SM_CYVIRTUALSCREEN),  GetSystemMetrics(SM_CXSCREEN),
            GetSystemMetrics(SM_CYSCREEN)};
}

// One layout per process, as there is one desktop; it belongs with the layout it describes.
ScreenMetrics g_metrics_read = {};

}  // namespace

void ReadDisplayLayoutIfScreensChanged()
{
    if (!(CurrentScreenMetrics() == g_metrics_read))
        ReadDisplayLayout();
}

void ReadDisplayLayout()
{
    g_metrics_read = CurrentScreenMetrics();
    g_app.screen_width = GetSystemMetrics(SM_CXSCREEN);
    g_app.screen_height = GetSystemMetrics(SM_CYSCREEN);
    g_app.taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    DisplayLayout layout;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&layout.monitors));
    if (layout.monitors.empty())
        layout.monitors.push_back({0, 0, g_app.screen_width, g_app.screen_height});
    layout.primary_taskbar = WindowRect(g_app.taskbar);
    std::vector<HWND> other_taskbars;
    EnumWindows(AddSecondaryTaskbar, reinterpret_cast<LPARAM>(&other_taskbars));
    for (HWND taskbar : other_taskbars)
        layout.other_taskbars.push_back(WindowRect(taskbar));
    g_app.display = layout;
    g_app.other_taskbar_windows = other_taskbars;
    // Every mascot is placed afresh at its next tick: a rule may answer otherwise on the new
    // layout, and Windows may have moved a mascot off a monitor that went away.
    ++g_app.display_generation;
}

Rect32 TaskbarRectFor(const Rect32& target) { return taskbar_for(target, LayoutWithTaskbarsNow()); }

bool IsDesktopOrShellWindow(HWND window)
{
    if (!window)
        return false;
    if (window == GetDesktopWindow() || window == g_app.desktop || window == g_app.taskbar)
        return true;
    wchar_t class_name[64] = {};
    return GetClassNameW(window, class_name, 64) > 0 && is_desktop_or_shell_class(Utf8(class_name));
}
