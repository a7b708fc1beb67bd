#include "core/startup_entry_win.h"

#include <windows.h>

#include <vector>

#include "core/wide_text_win.h"

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kValueName[] = L"Velmora";
// A command longer than this is not one the program wrote; it is read cut, as another's.
const DWORD kMaxCommandUnits = 4096;

// The program's full path, or empty when it does not fit: a cut path would start nothing.
std::string OwnProgramPath()
{
    std::vector<wchar_t> path(MAX_PATH + 1);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return std::string();
    return Utf8(path.data(), length);
}

}  // namespace

StartupEntry ReadStartupEntry()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return StartupEntry();
    std::vector<wchar_t> data(kMaxCommandUnits);
    DWORD type = 0;
    DWORD size = kMaxCommandUnits * sizeof(wchar_t);
    const LONG result = RegQueryValueExW(key, kValueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
    if (result == ERROR_FILE_NOT_FOUND)
        return StartupEntry();
    if (result == ERROR_MORE_DATA)
        size = 0;  // too long to be this program's: shown as something else, without its text
    else if (result != ERROR_SUCCESS)
        return StartupEntry();
    size = size / sizeof(wchar_t) < kMaxCommandUnits ? size / sizeof(wchar_t) : kMaxCommandUnits;
    // UTF-8 has no trail byte that could be taken for a quote or a separator.
    return read_startup_entry(true, type, Utf8(data.data(), size), OwnProgramPath(), nullptr);
}

bool ApplyStartupChange(StartupChange change)
{
    if (change == StartupChange::None)
        return true;
    HKEY key = nullptr;
    if (change == StartupChange::Delete) {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return false;
        const LONG result = RegDeleteValueW(key, kValueName);
        RegCloseKey(key);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    const std::string path = OwnProgramPath();
    if (path.empty())
        return false;
    const std::wstring command = Wide(startup_command_for(path));
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}
