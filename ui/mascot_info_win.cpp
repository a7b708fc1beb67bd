#include "ui/mascot_info_win.h"

#include <string>
#include <vector>

#include "core/application_win.h"
#include "core/wide_text_win.h"
#include "display/profile_win.h"
#include "resources/mascot_info_dialog_ids.h"
#include "ui/about_box_win.h"
#include "ui/centring_win.h"
#include "ui/link_control_win.h"
#include "ui/mascot_info.h"

namespace {

constexpr int kTextCapacity = 260;
// A comment longer than this is shown cut; a huge file must not exhaust the memory.
constexpr size_t kCommentLimit = 1u << 20;

// The comment file, stored in code page 932, read whole; a file that cannot be opened or
// read gives no comment.
std::string ReadComment(const std::string& folder)
{
    std::string bytes;
    if (!ReadFileBytes(folder + "Comment.txt", kCommentLimit, bytes))
        return {};
    return StoredTextAsUtf8(CommentText(bytes.data(), bytes.size()));
}

// The address is cut in its stored bytes, as the dialog always kept it.
std::string ReadWebPage(const std::string& folder)
{
    StoredProfile shortcut(folder + "WebPage.url");
    return shortcut.as_utf8(CutWebPage(shortcut.read_stored_bytes("InternetShortcut", "URL", kNoWebPage)));
}

void OnInitDialog(HWND dialog, const Mascot* mascot)
{
    // Everything shown is copied here: the mascot may be destroyed while the dialog is open.
    CentreWindow(dialog);
    // The menu offers this dialog only for a mascot; a stray command without one shows nothing.
    if (!mascot)
        return;
    SetDlgItemTextW(dialog, IDC_INFO_NAME, Wide(mascot->name).c_str());
    const std::string folder = InfoMascotFolder(TemporaryFolder(), mascot->source_path);
    SetDlgItemTextW(dialog, IDC_INFO_COMMENT, Wide(ReadComment(folder)).c_str());
    const std::string web_page = ReadWebPage(folder);
    if (IsWebLink(web_page)) {
        MakeLinkControl(dialog, GetDlgItem(dialog, IDC_INFO_LINK));
        SetDlgItemTextW(dialog, IDC_INFO_LINK, Wide(web_page).c_str());
    }
}

void OnLinkNotification(HWND dialog, WORD code)
{
    if (code != STN_CLICKED) {
        EndDialog(dialog, 0);
        return;
    }
    // A click where no link was made finds an empty label and changes nothing.
    wchar_t address[kTextCapacity] = {};
    GetDlgItemTextW(dialog, IDC_INFO_LINK, address, kTextCapacity);
    if (!IsWebLink(Utf8(address)))
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
