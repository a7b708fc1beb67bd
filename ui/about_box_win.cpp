#include "ui/about_box_win.h"

#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/application_win.h"
#include "resources/about_dialog_ids.h"
#include "resources/string_ids.h"
#include "ui/centring_win.h"
#include "ui/link_control_win.h"

namespace {

constexpr int kTextCapacity = 260;

std::string VersionWord()
{
    char text[kTextCapacity] = {};
    LoadStringA(g_app.instance, IDS_VERSION, text, sizeof text);
    return text;
}

// One string value of a file's version resource, or false when the file has no resource or
// the resource lacks that value.
bool ReadVersionValue(const char* file, const char* value_path, std::string& value)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file, &ignored);
    if (size == 0)
        return false;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(file, 0, size, block.data()))
        return false;
    char* found = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), value_path, reinterpret_cast<void**>(&found), &length) || !found)
        return false;
    // The length counts the terminator, when there is one; never read past the block.
    const char* end = block.data() + block.size();
    size_t usable = length;
    if (found < block.data() || found >= end)
        return false;
    if (usable > static_cast<size_t>(end - found))
        usable = end - found;
    value.assign(found, strnlen(found, usable));
    return true;
}

std::string ProgramVersionText()
{
    std::string text = VersionWord();
    std::string version;
    if (ReadVersionValue(ExecutablePath().c_str(), "\\StringFileInfo\\041104b0\\ProductVersion", version))
        text = version;
    return text;
}

std::string LibraryVersionText()
{
    std::string text = "UNLHA32.DLL " + VersionWord();
    HMODULE library = LoadLibraryA("unlha32.dll");
    if (!library)
        return text;
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(library, path, MAX_PATH);
    char value_path[64];
    wsprintfA(value_path, "%s040904E4\\FileVersion", "\\StringFileInfo\\");
    std::string version;
    if (ReadVersionValue(path, value_path, version))
        text += version;
    FreeLibrary(library);
    return text;
}

void OnInitDialog(HWND dialog)
{
    MakeLinkControl(dialog, GetDlgItem(dialog, IDC_ABOUT_LINK));
    SetDlgItemTextA(dialog, IDC_ABOUT_PROGRAM_VERSION, ProgramVersionText().c_str());
    SetDlgItemTextA(dialog, IDC_ABOUT_LIBRARY_VERSION, LibraryVersionText().c_str());
    CentreWindow(dialog);
}

void OnLinkNotification(HWND dialog, WORD code)
{
    if (code == STN_CLICKED) {
        char address[kTextCapacity] = {};
        GetDlgItemTextA(dialog, IDC_ABOUT_LINK, address, sizeof address);
        OpenLinkAddress(address);
    }
    EndDialog(dialog, 0);
}

void OnCommand(HWND dialog, WORD id, WORD code)
{
    switch (id) {
    // Escape and the caption's close box close the box as its button does.
    case IDOK:
    case IDCANCEL: EndDialog(dialog, 0); break;
    case IDC_ABOUT_LINK: OnLinkNotification(dialog, code); break;
    default: break;
    }
}

}  // namespace

void OpenLinkAddress(const char* address)
{
    ShellExecuteA(nullptr, nullptr, address, nullptr, nullptr, SW_SHOWNORMAL);
}

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    // Every message is answered as not handled, so the dialog manager sets no default focus.
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); break;
    case WM_COMMAND: OnCommand(dialog, LOWORD(wparam), HIWORD(wparam)); break;
    default: break;
    }
    return FALSE;
}
