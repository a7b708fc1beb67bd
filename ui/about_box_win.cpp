#include "ui/about_box_win.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "core/application_win.h"
#include "core/wide_text_win.h"
#include "resources/about_dialog_ids.h"
#include "resources/string_ids.h"
#include "ui/centring_win.h"
#include "ui/link_control_win.h"

namespace {

constexpr int kTextCapacity = 260;

std::wstring VersionWord() { return ResourceText(IDS_VERSION); }

// One string value of a file's version resource, or false when the file has no resource or
// the resource lacks that value.
bool ReadVersionValue(const std::wstring& file, const wchar_t* value_path, std::wstring& value)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0)
        return false;
    std::vector<wchar_t> block((size + 1) / sizeof(wchar_t) + 1);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data()))
        return false;
    wchar_t* found = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), value_path, reinterpret_cast<void**>(&found), &length) || !found)
        return false;
    // The length counts characters and the terminator, when there is one; never read past
    // the block.
    const wchar_t* end = block.data() + block.size();
    size_t usable = length;
    if (found < block.data() || found >= end)
        return false;
    if (usable > static_cast<size_t>(end - found))
        usable = end - found;
    size_t text_length = 0;
    while (text_length < usable && found[text_length] != L'\0')
        ++text_length;
    value.assign(found, text_length);
    return true;
}

std::wstring ProgramVersionText()
{
    std::wstring text = VersionWord();
    std::wstring version;
    if (ReadVersionValue(Wide(ExecutablePath()), L"\\StringFileInfo\\041104b0\\ProductVersion", version))
        text = version;
    return text;
}

std::wstring LibraryVersionText()
{
    std::wstring text = L"UNLHA32.DLL " + VersionWord();
    HMODULE library = LoadLibraryW(L"unlha32.dll");
    if (!library)
        return text;
    wchar_t path[MAX_PATH + 1] = {};
    GetModuleFileNameW(library, path, MAX_PATH);
    std::wstring version;
    if (ReadVersionValue(path, L"\\StringFileInfo\\040904E4\\FileVersion", version))
        text += version;
    FreeLibrary(library);
    return text;
}

void OnInitDialog(HWND dialog)
{
    MakeLinkControl(dialog, GetDlgItem(dialog, IDC_ABOUT_LINK));
    SetDlgItemTextW(dialog, IDC_ABOUT_PROGRAM_VERSION, ProgramVersionText().c_str());
    SetDlgItemTextW(dialog, IDC_ABOUT_LIBRARY_VERSION, LibraryVersionText().c_str());
    CentreWindow(dialog);
}

void OnLinkNotification(HWND dialog, WORD code)
{
    if (code == STN_CLICKED) {
        wchar_t address[kTextCapacity] = {};
        GetDlgItemTextW(dialog, IDC_ABOUT_LINK, address, kTextCapacity);
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

void OpenLinkAddress(const wchar_t* address)
{
    ShellExecuteW(nullptr, nullptr, address, nullptr, nullptr, SW_SHOWNORMAL);
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
