#include "core/startup_entry_win.h"

#include <windows.h>

#include <vector>

#include "core/wide_text_win.h"

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Where Task Manager's Startup switch keeps whether each Run entry is on.
const wchar_t kApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
// The record is 12 bytes: a state, then the time of the switch.
const DWORD kApprovedBytes = 12;
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

std::string ExpandedText(const std::string& text)
{
    const std::wstring wide = Wide(text);
    const DWORD needed = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
    if (needed == 0 || needed > kMaxCommandUnits)
        return text;
    std::vector<wchar_t> expanded(needed + 1);
    const DWORD length = ExpandEnvironmentStringsW(wide.c_str(), expanded.data(), needed + 1);
    return length == 0 || length > needed + 1 ? text : Utf8(expanded.data());
}

bool ApprovedRecordDisables()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kApprovedKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    std::vector<char> data(kApprovedBytes);
    DWORD size = kApprovedBytes;
    const LONG result = RegQueryValueExW(key, kValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
    // A longer record than Windows writes still has its state first.
    if (result == ERROR_MORE_DATA)
        size = kApprovedBytes;
    else if (result != ERROR_SUCCESS)
        return false;
    return startup_approved_disables(true, std::string(data.data(), size));
}

// Turns Task Manager's switch back on by removing its record, as a new Run entry has none.
bool RemoveApprovedRecord()
{
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, kApprovedKey, 0, KEY_SET_VALUE, &key);
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    if (opened != ERROR_SUCCESS)
        return false;
    const LONG result = RegDeleteValueW(key, kValueName);
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
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
    StartupEntry entry =
        read_startup_entry(true, type, Utf8(data.data(), size), OwnProgramPath(), nullptr, ExpandedText);
    entry.disabled = entry.names_this_program && ApprovedRecordDisables();
    return entry;
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
    // Ticking the box means starting with Windows, also when Task Manager had switched it off.
    return result == ERROR_SUCCESS && (!ApprovedRecordDisables() || RemoveApprovedRecord());
}
