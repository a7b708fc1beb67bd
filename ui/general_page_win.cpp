#include "ui/general_page_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>
#include <vector>

#include "core/application_win.h"
#include "core/display_layout_win.h"
#include "core/exclusion_list.h"
#include "core/help_win.h"
#include "core/roster_win.h"
#include "core/startup_entry_win.h"
#include "core/wide_text_win.h"
#include "display/display_scale.h"
#include "display/monitor_dpi_win.h"
#include "display/window_program_win.h"
#include "resources/general_page_ids.h"
#include "resources/icon_ids.h"
#include "ui/general_page_rules.h"
#include "ui/mascot_page_rules.h"

namespace {

// Paths are shown and read back with at most this many characters.
constexpr int kMaxPath = 260;

// The page's state, found from the page window.
struct GeneralPage {
    HWND page = nullptr;
    HWND sheet = nullptr;
    // Set from the press on the picker until the button's release.
    bool dragging = false;
    // The last window named during the drag and what it was named: every lookup walks all
    // processes, and a drag sends many moves over the same window.
    HWND named_window = nullptr;
    std::string named_path;
    // The start-with-Windows box as the page opened: the Run value changes only when the box
    // differs from it as the sheet closes.
    bool starts_with_windows_at_open = false;
    // Shows the command of another copy of the program that the Run value names.
    HWND startup_tip = nullptr;
    std::wstring startup_tip_text;
    // The picker's icon loaded for another scaling than the one the page opened with; the
    // dialog's own is shared and not freed.
    HICON picker_icon = nullptr;
};

// WM_DPICHANGED_AFTERPARENT, which the program's headers for Windows XP do not define.
constexpr UINT kDpiChangedAfterParentMessage = 0x02E3;

const int kSizeGroup[] = {IDC_GENERAL_WIDTH_LABEL,  IDC_GENERAL_WIDTH_UPDOWN,  IDC_GENERAL_MIN_WIDTH, IDC_GENERAL_HEIGHT_LABEL,
                          IDC_GENERAL_HEIGHT_UPDOWN, IDC_GENERAL_MIN_HEIGHT, IDC_GENERAL_DOTS_LABEL};
const int kNoAttachGroup[] = {IDC_GENERAL_NO_ATTACH_BOX, IDC_GENERAL_HIDE, IDC_GENERAL_TO_TASKBAR, IDC_GENERAL_STAY};
const int kExclusionGroup[] = {IDC_GENERAL_EXCLUDED_BOX, IDC_GENERAL_EXCLUDED_LIST, IDC_GENERAL_DELETE, IDC_GENERAL_PICKER};
const int kRadios[] = {IDC_GENERAL_HIDE, IDC_GENERAL_TO_TASKBAR, IDC_GENERAL_STAY};

GeneralPage* PageOf(HWND window) { return reinterpret_cast<GeneralPage*>(GetWindowLongPtrW(window, DWLP_USER)); }

LRESULT SendItem(const GeneralPage& page, int id, UINT message, WPARAM wparam = 0, LPARAM lparam = 0)
{
    return SendDlgItemMessageW(page.page, id, message, wparam, lparam);
}

template <size_t N>
void EnableControls(const GeneralPage& page, const int (&ids)[N], bool enabled)
{
    for (int id : ids)
        EnableWindow(GetDlgItem(page.page, id), enabled);
}

void UpdateGroups(const GeneralPage& page)
{
    const GeneralGroups groups = general_groups(g_app.settings.rules);
    EnableControls(page, kSizeGroup, groups.sizes);
    EnableControls(page, kNoAttachGroup, groups.no_attach);
}

std::string ItemText(const GeneralPage& page, int id)
{
    wchar_t text[kMaxPath + 1] = {};
    GetDlgItemTextW(page.page, id, text, kMaxPath + 1);
    return Utf8(text);
}

bool IsChecked(const GeneralPage& page, int id) { return IsDlgButtonChecked(page.page, id) == BST_CHECKED; }

void Check(const GeneralPage& page, int id, bool checked)
{
    CheckDlgButton(page.page, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

// The setting behind each check box of the page.
int32_t* CheckBoxValue(int id)
{
    switch (id) {
    case IDC_GENERAL_NOT_MAXIMIZED: return &g_app.settings.rules.MaximizeWindow;
    case IDC_GENERAL_NOT_OFF_SCREEN: return &g_app.settings.rules.OutScreenMascot;
    case IDC_GENERAL_NOT_SMALL: return &g_app.settings.rules.MinimizeWindow;
    case IDC_GENERAL_MOUSE_OVER_HIDE: return &g_app.settings.MouseOverHide;
    default: return nullptr;
    }
}

// The up-down takes only 16 bits and clamps to its range, and its edit's change
// notification stores what it shows; so the edit is written with the whole value
// afterwards, and a size typed beyond the range survives the page's opening.
void ShowSize(const GeneralPage& page, int updown, int edit, int32_t value)
{
    SendItem(page, updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page.page, edit)));
    SendItem(page, updown, UDM_SETRANGE, 0, MAKELPARAM(kSizeRange.upper, kSizeRange.lower));
    SendItem(page, updown, UDM_SETPOS, 0, MAKELPARAM(value & 0xFFFF, 0));
    SetDlgItemInt(page.page, edit, static_cast<UINT>(value), FALSE);
}

// --- starting with Windows ------------------------------------------------------------

void ShowOtherStartupCommand(GeneralPage& page, const std::string& command)
{
    page.startup_tip_text = Wide(command);
    page.startup_tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page.page, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    if (!page.startup_tip)
        return;
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = page.page;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(page.page, IDC_GENERAL_START_WITH_WINDOWS));
    tool.lpszText = &page.startup_tip_text[0];
    SendMessageW(page.startup_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // Long paths wrap instead of running off the screen: at 400 pixels at 96 dpi, as wide on
    // the screen at any scaling.
    SendMessageW(page.startup_tip, TTM_SETMAXTIPWIDTH, 0, pixels_for_dpi(400, WindowDpi(page.page)));
}

void ShowStartupEntry(GeneralPage& page)
{
    const StartupEntry entry = ReadStartupEntry();
    page.starts_with_windows_at_open = starts_with_windows(entry);
    Check(page, IDC_GENERAL_START_WITH_WINDOWS, page.starts_with_windows_at_open);
    if (entry.names_something_else && !entry.other_command.empty())
        ShowOtherStartupCommand(page, entry.other_command);
}

// Once stored, what the box shows counts as stored, so that the box is applied once; a change
// the registry refused is tried again at the next apply.
void ApplyStartupBox(GeneralPage& page)
{
    const bool checked = IsChecked(page, IDC_GENERAL_START_WITH_WINDOWS);
    if (ApplyStartupChange(startup_change_on_close(page.starts_with_windows_at_open, checked)))
        page.starts_with_windows_at_open = checked;
}

void OnInitDialog(HWND window)
{
    auto* page = new GeneralPage;
    page->page = window;
    page->sheet = GetParent(window);
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(page));

    // Taken first: showing the sizes stores them again through the edits' notifications.
    const AppSettings shown = g_app.settings;
    Check(*page, IDC_GENERAL_NOT_MAXIMIZED, shown.rules.MaximizeWindow == 1);
    Check(*page, IDC_GENERAL_NOT_OFF_SCREEN, shown.rules.OutScreenMascot == 1);
    Check(*page, IDC_GENERAL_NOT_SMALL, shown.rules.MinimizeWindow == 1);
    UpdateGroups(*page);
    ShowSize(*page, IDC_GENERAL_WIDTH_UPDOWN, IDC_GENERAL_MIN_WIDTH, shown.rules.sizeMinimizeX);
    ShowSize(*page, IDC_GENERAL_HEIGHT_UPDOWN, IDC_GENERAL_MIN_HEIGHT, shown.rules.sizeMinimizeY);
    for (int radio : kRadios)
        Check(*page, radio, radio == radio_for_no_window_flag(shown.NoWindowFlag));
    Check(*page, IDC_GENERAL_MOUSE_OVER_HIDE, shown.MouseOverHide == 1);
    EnableControls(*page, kExclusionGroup, true);
    FillExcludedList(GetDlgItem(window, IDC_GENERAL_EXCLUDED_LIST));
    ShowStartupEntry(*page);
}

void OnDestroy(HWND window, GeneralPage* page)
{
    if (page->dragging)
        ReleaseCapture();
    // The page goes only with the sheet, whichever way it is closed.
    ApplyStartupBox(*page);
    if (page->startup_tip)
        DestroyWindow(page->startup_tip);
    if (page->picker_icon)
        DestroyIcon(page->picker_icon);
    SetWindowLongPtrW(window, DWLP_USER, 0);
    delete page;
}

// The sheet moved to a monitor of another scaling: the picker shows the image of icon 110 made
// for the icon size there, and the tip keeps its width on the screen.
void OnDpiChanged(GeneralPage& page)
{
    const int32_t dpi = WindowDpi(page.page);
    const int size = SystemMetricForDpi(SM_CXICON, dpi);
    if (const HICON icon = static_cast<HICON>(
            LoadImageW(g_app.instance, MAKEINTRESOURCEW(IDI_PICKER), IMAGE_ICON, size, size, LR_DEFAULTCOLOR))) {
        SendDlgItemMessageW(page.page, IDC_GENERAL_PICKER, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        if (page.picker_icon)
            DestroyIcon(page.picker_icon);
        page.picker_icon = icon;
    }
    if (page.startup_tip)
        SendMessageW(page.startup_tip, TTM_SETMAXTIPWIDTH, 0, pixels_for_dpi(400, dpi));
}

// --- the exclusion list ----------------------------------------------------------------

void DeleteSelected(const GeneralPage& page)
{
    const LRESULT selected = SendItem(page, IDC_GENERAL_EXCLUDED_LIST, LB_GETCURSEL);
    if (selected == LB_ERR)
        return;
    // The list box writes the whole entry, so the buffer is sized from it, not from a path.
    const LRESULT length = SendItem(page, IDC_GENERAL_EXCLUDED_LIST, LB_GETTEXTLEN, selected);
    if (length == LB_ERR)
        return;
    std::vector<wchar_t> name(static_cast<size_t>(length) + 1);
    SendItem(page, IDC_GENERAL_EXCLUDED_LIST, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(name.data()));
    SendItem(page, IDC_GENERAL_EXCLUDED_LIST, LB_DELETESTRING, selected);
    RemoveExcluded(Utf8(name.data()));
}

// Adds the program shown during the drag, unless the list holds it already in any letter
// case. Only a whole entry counts: "notepad.exe.old" is not notepad.exe.
void AddShownProgram(const GeneralPage& page)
{
    const std::string shown = ItemText(page, IDC_GENERAL_PICKED_NAME);
    if (shown.empty())
        return;
    const std::string name = program_file_name(shown);
    const std::wstring wide_name = Wide(name);
    if (!name.empty() && SendItem(page, IDC_GENERAL_EXCLUDED_LIST, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(wide_name.c_str())) == LB_ERR) {
        SendItem(page, IDC_GENERAL_EXCLUDED_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide_name.c_str()));
        AddExcluded(name);
    }
    SetDlgItemTextW(page.page, IDC_GENERAL_PICKED_NAME, L"");
}

// --- picking a program -----------------------------------------------------------------

// The window at the top of the parent and owner chain under the cursor.
HWND TopWindowUnderCursor()
{
    POINT at = {};
    GetCursorPos(&at);
    HWND window = WindowFromPoint(at);
    // Chains are short; the bound only guards against a chain that loops.
    for (int step = 0; window && GetParent(window) && step < 64; ++step)
        window = GetParent(window);
    return window;
}

bool IsOwnProcess(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

// The program path to show for a window; empty for the desktop and the shell's windows (the
// taskbars of every monitor and the desktop behind the wallpaper belong to Explorer, whose
// exclusion would keep every mascot off every Explorer window), the sheet and any window of
// this program, mascots included, so that the program never excludes itself.
std::string ProgramOf(GeneralPage& page, HWND window)
{
    if (!window || IsDesktopOrShellWindow(window) || window == page.sheet || IsOwnProcess(window))
        return "";
    if (window == page.named_window)
        return page.named_path;
    std::string path;
    if (!GetWindowProgramName(window, path) || lstrcmpiW(Wide(path).c_str(), Wide(ExecutablePath()).c_str()) == 0)
        path.clear();
    page.named_window = window;
    page.named_path = path;
    return page.named_path;
}

void OnLButtonDown(GeneralPage& page, int x, int y)
{
    POINT at = {x, y};
    ClientToScreen(page.page, &at);
    RECT icon = {};
    GetWindowRect(GetDlgItem(page.page, IDC_GENERAL_PICKER), &icon);
    if (!is_on_picker({icon.left, icon.top, icon.right, icon.bottom}, at.x, at.y))
        return;
    SetCapture(page.page);
    page.dragging = true;
    page.named_window = nullptr;
}

void OnMouseMove(GeneralPage& page)
{
    if (!page.dragging)
        return;
    SetCursor(LoadCursorW(nullptr, SystemResource(IDC_HAND)));
    const std::string path = ProgramOf(page, TopWindowUnderCursor());
    if (path != ItemText(page, IDC_GENERAL_PICKED_NAME))
        SetDlgItemTextW(page.page, IDC_GENERAL_PICKED_NAME, Wide(path).c_str());
}

void OnLButtonUp(GeneralPage& page)
{
    if (!page.dragging)
        return;
    page.dragging = false;
    ReleaseCapture();
    SetForegroundWindow(page.sheet);
    AddShownProgram(page);
}

// A drag whose capture went to another window (a task switch, say) ends without adding:
// otherwise a later click on the page would add whatever was last shown.
void OnCaptureChanged(GeneralPage& page, HWND new_capture)
{
    if (!page.dragging || new_capture == page.page)
        return;
    page.dragging = false;
    SetDlgItemTextW(page.page, IDC_GENERAL_PICKED_NAME, L"");
}

// --- messages --------------------------------------------------------------------------

void OnCommand(GeneralPage& page, int id, int code)
{
    const bool clicked = code == BN_CLICKED;
    switch (id) {
    case IDC_GENERAL_NOT_MAXIMIZED:
    case IDC_GENERAL_NOT_OFF_SCREEN:
    case IDC_GENERAL_NOT_SMALL:
        if (clicked) {
            *CheckBoxValue(id) = IsChecked(page, id) ? 1 : 0;
            UpdateGroups(page);
        }
        break;
    case IDC_GENERAL_MOUSE_OVER_HIDE: if (clicked) *CheckBoxValue(id) = IsChecked(page, id) ? 1 : 0; break;
    case IDC_GENERAL_MIN_WIDTH:
        if (code == EN_CHANGE) g_app.settings.rules.sizeMinimizeX = read_edit_number(ItemText(page, id), false);
        break;
    case IDC_GENERAL_MIN_HEIGHT:
        if (code == EN_CHANGE) g_app.settings.rules.sizeMinimizeY = read_edit_number(ItemText(page, id), false);
        break;
    case IDC_GENERAL_HIDE:
    case IDC_GENERAL_TO_TASKBAR:
    case IDC_GENERAL_STAY: if (clicked) g_app.settings.NoWindowFlag = no_window_flag_for_radio(id); break;
    case IDC_GENERAL_DELETE: if (clicked) DeleteSelected(page); break;
    default: break;
    }
}

void OnHelp(GeneralPage& page, const HELPINFO& help)
{
    SetWindowContextHelpId(page.page, kGeneralPageHelpContext);
    OpenHelpPopup(page.page, general_help_context_for(help.iCtrlId));
}

}  // namespace

void ApplyGeneralPageForSessionEnd(HWND sheet)
{
    const HWND window = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_INDEXTOHWND, 1, 0));
    GeneralPage* page = window ? PageOf(window) : nullptr;
    if (page)
        ApplyStartupBox(*page);
}

INT_PTR CALLBACK GeneralPageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG) {
        OnInitDialog(window);
        return TRUE;
    }
    GeneralPage* page = PageOf(window);
    if (!page)
        return FALSE;
    switch (message) {
    case WM_COMMAND: OnCommand(*page, LOWORD(wparam), HIWORD(wparam)); return TRUE;
    case WM_LBUTTONDOWN: OnLButtonDown(*page, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)); return TRUE;
    case WM_MOUSEMOVE: OnMouseMove(*page); return TRUE;
    case WM_LBUTTONUP: OnLButtonUp(*page); return TRUE;
    case WM_CAPTURECHANGED: OnCaptureChanged(*page, reinterpret_cast<HWND>(lparam)); return TRUE;
    case WM_HELP: OnHelp(*page, *reinterpret_cast<const HELPINFO*>(lparam)); return TRUE;
    case kDpiChangedAfterParentMessage: OnDpiChanged(*page); return FALSE;
    case WM_DESTROY: OnDestroy(window, page); return FALSE;
    default: return FALSE;
    }
}
