#include "display/monitor_dpi_win.h"

#include "display/display_scale.h"
#include "display/system_library_win.h"

namespace {

// MDT_EFFECTIVE_DPI: the DPI the user's scaling setting gives the monitor.
constexpr int kEffectiveDpi = 0;

using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetDpiForSystemFunction = UINT(WINAPI*)();
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);

template <typename Function>
Function FindFunction(const wchar_t* library_name, const char* function_name)
{
    HMODULE library = LoadSystemLibrary(library_name);
    if (!library)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, function_name)));
}

}  // namespace

int32_t SystemDpi()
{
    static const GetDpiForSystemFunction get_dpi_for_system =
        FindFunction<GetDpiForSystemFunction>(L"user32.dll", "GetDpiForSystem");
    if (get_dpi_for_system) {
        if (const UINT dpi = get_dpi_for_system())
            return static_cast<int32_t>(dpi);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int32_t MonitorDpiFor(const Rect32& rect)
{
    static const GetDpiForMonitorFunction get_dpi_for_monitor =
        FindFunction<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
    if (get_dpi_for_monitor) {
        const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
        UINT dpi_x = 0, dpi_y = 0;
        if (SUCCEEDED(get_dpi_for_monitor(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &dpi_x,
                                          &dpi_y)) &&
            dpi_x > 0)
            return static_cast<int32_t>(dpi_x);
    }
    return SystemDpi();
}

int32_t WindowDpi(HWND window)
{
    static const GetDpiForWindowFunction get_dpi_for_window =
        FindFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
    if (get_dpi_for_window) {
        if (const UINT dpi = get_dpi_for_window(window))
            return static_cast<int32_t>(dpi);
    }
    RECT rect = {};
    if (!GetWindowRect(window, &rect))
        return SystemDpi();
    return MonitorDpiFor({rect.left, rect.top, rect.right, rect.bottom});
}

int32_t SystemMetricForDpi(int index, int32_t dpi)
{
    static const GetSystemMetricsForDpiFunction get_metric_for_dpi =
        FindFunction<GetSystemMetricsForDpiFunction>(L"user32.dll", "GetSystemMetricsForDpi");
    if (get_metric_for_dpi) {
        if (const int metric = get_metric_for_dpi(index, static_cast<UINT>(dpi)))
            return metric;
    }
    return metric_for_dpi(GetSystemMetrics(index), SystemDpi(), dpi);
}
