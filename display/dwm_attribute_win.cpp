#include "display/dwm_attribute_win.h"

namespace {

using GetAttributeFunction = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);

GetAttributeFunction LoadGetAttribute()
{
    HMODULE library = LoadLibraryA("dwmapi.dll");
    if (!library)
        return nullptr;
    return reinterpret_cast<GetAttributeFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "DwmGetWindowAttribute")));
}

}  // namespace

bool read_dwm_window_attribute(HWND window, unsigned long attribute, void* value, unsigned long size)
{
    // The library stays loaded for the process's life; it is looked for once.
    static const GetAttributeFunction get_attribute = LoadGetAttribute();
    return get_attribute && SUCCEEDED(get_attribute(window, attribute, value, size));
}
