#include "ui/mascot_info_win.h"

#include <string>
#include <vector>

#include "core/application_win.h"
#include "display/shared_read_win.h"
#include "resources/mascot_info_dialog_ids.h"
#include "ui/about_box_win.h"
#include "ui/centring_win.h"
#include "ui/link_control_win.h"
#include "ui/mascot_info.h"

namespace {

constexpr int kTextCapacity = 260;
// A comment longer than this is shown cut; a huge file must not exhaust the memory.
constexpr DWORD kCommentLimit = 1u << 20;
// Enough for any address the dialog keeps; longer values are cut to kWebPageLimit anyway.
constexpr DWORD kProfileValueCapacity = 1024;

std::string TempFolder()
{
    char folder[kTextCapacity + 1] = {};
    const DWORD length = GetTempPathA(sizeof folder, folder);
    return length < sizeof folder ? std::string(folder, length) : std::string();
}

// The comment file read whole; a file that cannot be opened or read gives no comment.
std::string ReadComment(const std::string& folder)
{
    const std::string path = folder + "Comment.txt";
    HANDLE file = OpenSharedRead(path);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    const DWORD size = GetFileSize(file, nullptr);
    std::string text;
    if (size != INVALID_FILE_SIZE) {
        const DWORD wanted = size < kCommentLimit ? size : kCommentLimit;
        std::vector<char> buffer(static_cast<size_t>(wanted) + 1, '\0');
        DWORD read = 0;
        if (ReadFile(file, buffer.data(), wanted, &read, nullptr))
            text = CommentText(buffer.data(), read);
    }
    CloseHandle(file);
    return text;
}

std::string ReadWebPage(const std::string& folder)
{
    const std::string path = folder + "WebPage.url";
    // The profile functions may hold an older copy of a file of the same name; drop it first.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    char value[kProfileValueCapacity] = {};
    GetPrivateProfileStringA("InternetShortcut", "URL", kNoWebPage, value, sizeof value, path.c_str());
    return CutWebPage(value);
}

void OnInitDialog(HWND dialog, const Mascot* mascot)
{
    // Everything shown is copied here: the mascot may be destroyed while the dialog is open.
    CentreWindow(dialog);
    // The menu offers this dialog only for a mascot; a stray command without one shows nothing.
    if (!mascot)
        return;
    SetDlgItemTextA(dialog, IDC_INFO_NAME, mascot->name.c_str());
    const std::string folder = InfoMascotFolder(TempFolder(), mascot->source_path);
    SetDlgItemTextA(dialog, IDC_INFO_COMMENT, ReadComment(folder).c_str());
    const std::string web_page = ReadWebPage(folder);
    if (IsWebLink(web_page)) {
        MakeLinkControl(dialog, GetDlgItem(dialog, IDC_INFO_LINK));
        SetDlgItemTextA(dialog, IDC_INFO_LINK, web_page.c_str());
    }
}

void OnLinkNotification(HWND dialog, WORD code)
{
    if (code != STN_CLICKED) {
        EndDialog(dialog, 0);
        return;
    }
    // A click where no link was made finds an empty label and changes nothing.
    char address[kTextCapacity] = {};
    GetDlgItemTextA(dialog, IDC_INFO_LINK, address, sizeof address);
    if (!IsWebLink(address))
        return;
    OpenLinkAddress(address);
    EndDialog(dialog, 0);
}

void OnCommand(HWND dialog, WORD id, WORD code)
{
    switch (id) {
    // Escape and the caption's close box close the dialog as its button does.
    case IDOK:
    case IDCANCEL: EndDialog(dialog, 0); break;
    case IDC_INFO_LINK: OnLinkNotification(dialog, code); break;
    default: break;
    }
}

}  // namespace

INT_PTR CALLBACK MascotInfoProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    // Every message is answered as not handled, so the dialog manager sets no default focus.
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog, reinterpret_cast<const Mascot*>(lparam)); break;
    case WM_COMMAND: OnCommand(dialog, LOWORD(wparam), HIWORD(wparam)); break;
    default: break;
    }
    return FALSE;
}
