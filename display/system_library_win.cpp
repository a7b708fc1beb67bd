#include "display/system_library_win.h"

#include <string>

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, which the program's headers for Windows XP do not define.
constexpr DWORD kSearchSystemFolder = 0x00000800;

// The loader takes the search flags exactly where it offers AddDllDirectory; elsewhere it
// refuses them as invalid.
bool LoaderTakesSearchFlags()
{
    static const bool takes = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != nullptr;
    return takes;
}

}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    if (LoaderTakesSearchFlags())
        return LoadLibraryExW(name, nullptr, kSearchSystemFolder);
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return LoadLibraryW((std::wstring(folder) + L"\\" + name).c_str());
}
