#include "display/dwm_attribute_win.h"

#include "display/system_library_win.h"

namespace {

using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);

// Systems before Vista have no dwmapi.dll; the library stays loaded for the program's life.
DwmGetWindowAttributeFn LoadDwmGetWindowAttribute()
{
    HMODULE dwmapi = LoadSystemLibrary(L"dwmapi.dll");
    if (!dwmapi)
        return nullptr;
    return reinterpret_cast<DwmGetWindowAttributeFn>(
        reinterpret_cast<void*>(GetProcAddress(dwmapi, "DwmGetWindowAttribute")));
}

}  // namespace

bool read_dwm_window_attribute(HWND window, unsigned long attribute, void* value, unsigned long size)
{
    static const DwmGetWindowAttributeFn get_attribute = LoadDwmGetWindowAttribute();
    return get_attribute && value && SUCCEEDED(get_attribute(window, attribute, value, size));
}
