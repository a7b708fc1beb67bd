#include "core/display_layout_win.h"

#include <vector>

#include "core/application_win.h"
#include "core/wide_text_win.h"
#include "display/shell_windows.h"

namespace {

Rect32 ToRect32(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The window's rectangle now, or the last one read when the window is gone.
Rect32 TaskbarRect(HWND window, const Rect32& last)
{
    RECT rect = {};
    const bool read = window && GetWindowRect(window, &rect);
    return taskbar_rect_or_last(read, ToRect32(rect), last);
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        auto& layout = *reinterpret_cast<DisplayLayout*>(context);
        layout.monitors.push_back(ToRect32(info.rcMonitor));
        layout.work_areas.push_back(ToRect32(info.rcWork));
    }
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

// The taskbars' rectangles as they are now, read into the layout kept: the shell moves and
// hides its taskbars without any announcement (auto-hide, a taskbar dragged to another edge).
// A taskbar window that is gone keeps the rectangle read last.
const DisplayLayout& RefreshTaskbarRects()
{
    DisplayLayout& layout = g_app.display;
    layout.primary_taskbar = TaskbarRect(g_app.taskbar, layout.primary_taskbar);
    for (size_t i = 0; i < g_app.other_taskbar_windows.size() && i < layout.other_taskbars.size(); ++i)
        layout.other_taskbars[i] = TaskbarRect(g_app.other_taskbar_windows[i], layout.other_taskbars[i]);
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
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&layout));
    if (layout.monitors.empty())
        layout.monitors.push_back({0, 0, g_app.screen_width, g_app.screen_height});
    layout.primary_taskbar = TaskbarRect(g_app.taskbar, g_app.display.primary_taskbar);
    std::vector<HWND> other_taskbars;
    EnumWindows(AddSecondaryTaskbar, reinterpret_cast<LPARAM>(&other_taskbars));
    for (HWND taskbar : other_taskbars)
        layout.other_taskbars.push_back(TaskbarRect(taskbar, {}));
    // Every mascot is placed afresh at its next tick when the layout is new: a rule may answer
    // otherwise on it, and Windows may have moved a mascot off a monitor that went away. A
    // read that found the layout as it was keeps the mascots the pointer has hidden hidden.
    if (!same_layout(layout, g_app.display))
        ++g_app.display_generation;
    g_app.display = layout;
    g_app.other_taskbar_windows = other_taskbars;
}

Rect32 TaskbarRectFor(const Rect32& target) { return taskbar_for(target, RefreshTaskbarRects()); }

bool IsDesktopOrShellWindow(HWND window)
{
    if (!window)
        return false;
    if (window == GetDesktopWindow() || window == g_app.desktop || window == g_app.taskbar)
        return true;
    wchar_t class_name[64] = {};
    return GetClassNameW(window, class_name, 64) > 0 && is_desktop_or_shell_class(Utf8(class_name));
}
