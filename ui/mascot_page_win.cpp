#include "ui/mascot_page_win.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "core/application_win.h"
#include "core/help_win.h"
#include "core/registry_win.h"
#include "core/roster_win.h"
#include "core/settings_store.h"
#include "core/wide_text_win.h"
#include "display/definition_win.h"
#include "display/mascot_popup_win.h"
#include "display/mascot_settings_win.h"
#include "display/monitor_dpi_win.h"
#include "library/library_entry.h"
#include "library/library_scan_win.h"
#include "library/mascot_cache_win.h"
#include "resources/mascot_info_dialog_ids.h"
#include "resources/mascot_page_ids.h"
#include "resources/string_ids.h"
#include "ui/centring_win.h"
#include "ui/dialog_font_win.h"
#include "ui/mascot_info_win.h"
#include "ui/mascot_page_rules.h"
#include "ui/settings_sheet_win.h"

namespace {

// The page's state, one per open sheet, found from the page window.
struct MascotPage {
    HWND page = nullptr;
    HWND sheet = nullptr;
    HWND list = nullptr;
    // The list shares its image lists (LVS_SHAREIMAGELISTS): it destroys none of them, not
    // even the check boxes' state list it makes itself, so the page destroys both.
    HIMAGELIST images = nullptr;
    // The check boxes' state list as last seen. The list makes it anew on a theme, colour or
    // DPI change; the one it replaced is the page's to destroy.
    HIMAGELIST state_images = nullptr;
    WNDPROC list_procedure = nullptr;
    // The row whose mascot is the preview; -1 for none. The preview exists exactly then.
    int selected = -1;
    std::unique_ptr<Mascot> preview;
    int sort_modes[2] = {0, 0};
    // The sheet may announce its end more than once (cancel, then reset); the page acts once.
    // Once closed, nothing on the page makes a preview, clears the cache or opens a dialog,
    // although a nested dialog may keep the page on the screen for a while.
    bool closed = false;
};

const int kMascotGroup[] = {IDC_MASCOT_POSITION_BOX, IDC_MASCOT_ROW1_LABEL, IDC_MASCOT_ROW2_LABEL,
                            IDC_MASCOT_X_SIDE,       IDC_MASCOT_Y_SIDE,     IDC_MASCOT_X_VALUE,
                            IDC_MASCOT_Y_VALUE,      IDC_MASCOT_X_UPDOWN,   IDC_MASCOT_Y_UPDOWN,
                            IDC_MASCOT_X_UNIT,       IDC_MASCOT_Y_UNIT,     IDC_MASCOT_ABOUT,
                            IDC_MASCOT_RESTORE,      IDC_MASCOT_DISPLAY_BOX, IDC_MASCOT_FOLLOW_GENERAL};
const int kRuleGroup[] = {IDC_MASCOT_NOT_MAXIMIZED, IDC_MASCOT_NOT_OFF_SCREEN, IDC_MASCOT_NOT_SMALL};
const int kSizeGroup[] = {IDC_MASCOT_WIDTH_LABEL,  IDC_MASCOT_MIN_WIDTH,   IDC_MASCOT_HEIGHT_LABEL, IDC_MASCOT_WIDTH_UPDOWN,
                          IDC_MASCOT_MIN_HEIGHT,   IDC_MASCOT_HEIGHT_UPDOWN, IDC_MASCOT_DOTS_LABEL};

// One axis of the position box: its unit drop-down, up-down and edit, and its unit setting.
struct Axis {
    int unit;
    int updown;
    int value;
    int32_t MascotSettings::*per_dot;
};
const Axis kHorizontal = {IDC_MASCOT_X_UNIT, IDC_MASCOT_X_UPDOWN, IDC_MASCOT_X_VALUE, &MascotSettings::WidthPerDot};
const Axis kVertical = {IDC_MASCOT_Y_UNIT, IDC_MASCOT_Y_UPDOWN, IDC_MASCOT_Y_VALUE, &MascotSettings::HeightPerDot};

const UINT kColumnHeaders[] = {IDS_COLUMN_MASCOT, IDS_COLUMN_FILE};

// WM_DPICHANGED_AFTERPARENT, which the program's headers for Windows XP do not define.
constexpr UINT kDpiChangedAfterParentMessage = 0x02E3;

MascotPage* PageOf(HWND window) { return reinterpret_cast<MascotPage*>(GetWindowLongPtrW(window, DWLP_USER)); }

LRESULT SendItem(const MascotPage& page, int id, UINT message, WPARAM wparam = 0, LPARAM lparam = 0)
{
    return SendDlgItemMessageW(page.page, id, message, wparam, lparam);
}

template <size_t N>
void EnableControls(const MascotPage& page, const int (&ids)[N], bool enabled)
{
    for (int id : ids)
        EnableWindow(GetDlgItem(page.page, id), enabled);
}

void UpdateGroups(const MascotPage& page)
{
    const EnabledGroups groups =
        page.preview ? enabled_groups(true, page.preview->settings.NonTargetAll, page.preview->settings.rules.MinimizeWindow)
                     : enabled_groups(false, 0, 0);
    EnableControls(page, kMascotGroup, groups.mascot);
    EnableControls(page, kRuleGroup, groups.rules);
    EnableControls(page, kSizeGroup, groups.sizes);
}

void SetRange(const MascotPage& page, int updown, UpDownRange range)
{
    SendItem(page, updown, UDM_SETRANGE, 0, MAKELPARAM(range.upper, range.lower));
}

std::string ItemText(const MascotPage& page, int id)
{
    wchar_t text[kMaxLibraryText + 1] = {};
    GetDlgItemTextW(page.page, id, text, kMaxLibraryText + 1);
    return Utf8(text);
}

bool IsChecked(const MascotPage& page, int id) { return IsDlgButtonChecked(page.page, id) == BST_CHECKED; }

std::wstring RowWideText(const MascotPage& page, int row, int column)
{
    wchar_t text[kMaxLibraryText + 1] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = kMaxLibraryText + 1;
    SendMessageW(page.list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::string RowText(const MascotPage& page, int row, int column) { return Utf8(RowWideText(page, row, column)); }

bool RowChecked(const MascotPage& page, int row)
{
    return (SendMessageW(page.list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12) == 2;
}

std::string FullPathOfRow(const MascotPage& page, int row)
{
    return g_app.exe_folder + "\\Mascots\\" + RowText(page, row, 1);
}

// --- sorting ---------------------------------------------------------------------------

// Texts and check states by item data, taken before the sort: the list's own rows are
// being moved while it sorts, so the comparison must not ask the list.
struct SortRowsContext {
    int mode;
    std::vector<std::wstring> texts;
    std::vector<bool> checked;
};

int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM context_data)
{
    const auto& context = *reinterpret_cast<const SortRowsContext*>(context_data);
    if (a < 0 || b < 0 || static_cast<size_t>(a) >= context.texts.size() || static_cast<size_t>(b) >= context.texts.size())
        return 0;
    return compare_rows(context.mode, lstrcmpiW(context.texts[a].c_str(), context.texts[b].c_str()), context.checked[a],
                        context.checked[b]);
}

void SortRows(MascotPage& page, int column)
{
    SortRowsContext context;
    context.mode = page.sort_modes[column];
    const int count = static_cast<int>(SendMessageW(page.list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        LVITEMW item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        SendMessageW(page.list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        if (item.lParam < 0 || item.lParam > 0xFFFF)
            continue;
        const size_t data = static_cast<size_t>(item.lParam);
        if (context.texts.size() <= data) {
            context.texts.resize(data + 1);
            context.checked.resize(data + 1);
        }
        context.texts[data] = RowWideText(page, row, column);
        context.checked[data] = RowChecked(page, row);
    }
    SendMessageW(page.list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context), reinterpret_cast<LPARAM>(CompareRows));
}

// --- the preview -----------------------------------------------------------------------

void SelectFirstOrSecond(const MascotPage& page, int id, bool first) { SendItem(page, id, CB_SETCURSEL, first ? 0 : 1); }

void ShowPreviewSettings(const MascotPage& page)
{
    // Writing the edits raises their change notifications, which store the same values again.
    const MascotSettings& settings = page.preview->settings;
    SelectFirstOrSecond(page, IDC_MASCOT_X_SIDE, settings.WidthLeftRight == 1);
    SelectFirstOrSecond(page, IDC_MASCOT_Y_SIDE, settings.HeightTopBottom == 1);
    SetDlgItemInt(page.page, IDC_MASCOT_X_VALUE, static_cast<UINT>(settings.PositionX), TRUE);
    SetDlgItemInt(page.page, IDC_MASCOT_Y_VALUE, static_cast<UINT>(settings.PositionY), TRUE);
    SelectFirstOrSecond(page, IDC_MASCOT_X_UNIT, settings.WidthPerDot == 1);
    SelectFirstOrSecond(page, IDC_MASCOT_Y_UNIT, settings.HeightPerDot == 1);
    CheckDlgButton(page.page, IDC_MASCOT_FOLLOW_GENERAL, settings.NonTargetAll == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page.page, IDC_MASCOT_NOT_MAXIMIZED, settings.rules.MaximizeWindow == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page.page, IDC_MASCOT_NOT_OFF_SCREEN, settings.rules.OutScreenMascot == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page.page, IDC_MASCOT_NOT_SMALL, settings.rules.MinimizeWindow == 1 ? BST_CHECKED : BST_UNCHECKED);
    // The sizes go into their edits as they are stored, which their up-downs read back on the
    // next arrow click. Through the up-downs' positions a stored value outside 0 to 1000, or
    // above 16 bits, would be clamped or cut, and stored so when the preview is given up.
    SetDlgItemInt(page.page, IDC_MASCOT_MIN_WIDTH, static_cast<UINT>(settings.rules.sizeMinimizeX), FALSE);
    SetDlgItemInt(page.page, IDC_MASCOT_MIN_HEIGHT, static_cast<UINT>(settings.rules.sizeMinimizeY), FALSE);
}

// Stores the preview's settings, then removes it; its edits persist from this moment.
void GiveUpPreview(MascotPage& page)
{
    if (!page.preview)
        return;
    SaveMascotSettings(*page.preview);
    DestroyMascot(*page.preview);
    page.preview.reset();
}

// The position is read from the edit rather than asked of the up-down: for text outside its
// current range the up-down answers its own earlier position, so 250 typed under percent
// would become that instead of 100.
void ApplyUnitRule(MascotPage& page, const Axis& axis)
{
    const bool percent = SendItem(page, axis.unit, CB_GETCURSEL) == 0;
    const UnitRule rule = unit_rule(percent, read_edit_number(ItemText(page, axis.value), true));
    if (rule.set_position)
        SendItem(page, axis.updown, UDM_SETPOS, 0, MAKELPARAM(rule.position, 0));
    SetRange(page, axis.updown, rule.range);
    if (page.preview)
        page.preview->settings.*axis.per_dot = rule.per_dot_setting;
}

// A click anywhere in the list: the selected row, if any, becomes the preview.
void TakeUpSelection(MascotPage& page)
{
    // A disabled clear button means a clear is running; the list is being rebuilt.
    if (page.closed || !IsWindowEnabled(GetDlgItem(page.page, IDC_MASCOT_CLEAR_CACHE)))
        return;
    const int row = static_cast<int>(SendMessageW(page.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row != page.selected) {
        GiveUpPreview(page);
        if (row != -1) {
            page.preview = std::make_unique<Mascot>();
            CreateMascot(*page.preview, FullPathOfRow(page, row).c_str());
            ShowPreviewSettings(page);
        }
        UpdateGroups(page);
    }
    page.selected = row;
    ApplyUnitRule(page, kHorizontal);
    ApplyUnitRule(page, kVertical);
    SetForegroundWindow(page.sheet);
}

// --- page-wide actions -------------------------------------------------------------------

void ShowInformation(const MascotPage& page)
{
    if (!page.closed && page.preview)
        ShowDialog(IDD_MASCOT_INFO, page.page, MascotInfoProc, reinterpret_cast<LPARAM>(page.preview.get()));
}

void RestoreDefaults(MascotPage& page)
{
    if (!page.preview)
        return;
    RestorePlacementDefaults(*page.preview);
    ShowPreviewSettings(page);
}

void ClearCache(MascotPage& page)
{
    if (page.closed)
        return;
    GiveUpPreview(page);
    page.selected = -1;
    UpdateGroups(page);
    const HWND clear_button = GetDlgItem(page.page, IDC_MASCOT_CLEAR_CACHE);
    EnableWindow(clear_button, FALSE);
    page.images = ClearAndRescan(page.list, page.images);
    Win32Registry registry;
    delete_all_subkeys(registry, std::string(kRootKey) + "\\Mascot");
    page.sort_modes[0] = page.sort_modes[1] = 0;
    SortRows(page, 0);
    EnableWindow(clear_button, TRUE);
}

// --- the list's image lists ----------------------------------------------------------

HIMAGELIST CurrentStateImages(const MascotPage& page)
{
    return reinterpret_cast<HIMAGELIST>(SendMessageW(page.list, LVM_GETIMAGELIST, LVSIL_STATE, 0));
}

// Destroys the state list the list has replaced since it was last seen.
void ReleaseReplacedStateImages(MascotPage& page)
{
    const HIMAGELIST current = CurrentStateImages(page);
    if (page.state_images && page.state_images != current)
        ImageList_Destroy(page.state_images);
    page.state_images = current;
}

// Takes both image lists back from the list and destroys them.
void ReleaseImageLists(MascotPage& page)
{
    ReleaseReplacedStateImages(page);
    SendMessageW(page.list, LVM_SETIMAGELIST, LVSIL_STATE, 0);
    ImageList_Destroy(page.state_images);
    page.state_images = nullptr;
    SendMessageW(page.list, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    ImageList_Destroy(page.images);
    page.images = nullptr;
}

bool MayReplaceStateImages(UINT message)
{
    constexpr UINT kDpiChangedAfterParent = 0x02E3;
    switch (message) {
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_STYLECHANGED:
    case LVM_SETEXTENDEDLISTVIEWSTYLE:
    case kDpiChangedAfterParent: return true;
    default: return false;
    }
}

// The list's own procedure runs first; whatever state list it made anew is then noticed, and
// the one it replaced destroyed, whichever window the change was announced to first. The list
// is a Unicode window and is subclassed as one, so that no message it takes is converted.
LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wparam, LPARAM lparam)
{
    MascotPage* page = PageOf(GetParent(list));
    if (!page || !page->list_procedure)
        return DefWindowProcW(list, message, wparam, lparam);
    const LRESULT result = CallWindowProcW(page->list_procedure, list, message, wparam, lparam);
    if (MayReplaceStateImages(message))
        ReleaseReplacedStateImages(*page);
    return result;
}

// Runs once, whichever way the sheet closes: withdraws the sheet, stores and removes the
// preview, then starts the checked rows in display order while fewer than MaxMascotCount run.
void Close(MascotPage& page)
{
    if (page.closed)
        return;
    page.closed = true;
    g_app.sheet_state = SheetState::Closing;
    WithdrawClosingSheet(page.sheet);
    GiveUpPreview(page);
    page.selected = -1;
    for (int row = 0; row < static_cast<int>(SendMessageW(page.list, LVM_GETITEMCOUNT, 0, 0)); ++row) {
        if (!RowChecked(page, row) || !may_start_another(g_roster.size(), g_app.settings.MaxMascotCount))
            continue;
        const Mascot* started = StartMascot(FullPathOfRow(page, row));
        if (!started)
            continue;
        InvalidateRect(started->window, nullptr, TRUE);
        UpdateWindow(started->window);
    }
    ReleaseImageLists(page);
}

// What closing the sheet would start: the checked rows in display order, as many as may run.
std::vector<std::string> SourcePathsToStart(const MascotPage& page)
{
    std::vector<std::string> paths;
    for (int row = 0; row < static_cast<int>(SendMessageW(page.list, LVM_GETITEMCOUNT, 0, 0)); ++row)
        if (RowChecked(page, row) && may_start_another(paths.size(), g_app.settings.MaxMascotCount))
            paths.push_back(RowText(page, row, 1));
    return paths;
}

// The sheet's OK and Cancel become one close button where Cancel was.
void ReplaceSheetButtons(HWND sheet)
{
    const HWND ok = GetDlgItem(sheet, IDOK);
    const HWND cancel = GetDlgItem(sheet, IDCANCEL);
    RECT cancel_rect;
    GetWindowRect(cancel, &cancel_rect);
    POINT corner = {cancel_rect.left, cancel_rect.top};
    ScreenToClient(sheet, &corner);
    DestroyWindow(cancel);
    SetWindowTextW(ok, ResourceText(IDS_CLOSE).c_str());
    SetWindowPos(ok, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// The small icon size at the list's DPI, which the list's images take.
int ListIconSize(const MascotPage& page) { return SystemMetricForDpi(SM_CXSMICON, WindowDpi(page.list)); }

void SetUpList(MascotPage& page)
{
    SendMessageW(page.list, LVM_SETTEXTBKCOLOR, 0, RGB(255, 255, 255));
    SendMessageW(page.list, LVM_SETTEXTCOLOR, 0, RGB(0, 0, 0));
    SendMessageW(page.list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    page.state_images = CurrentStateImages(page);
    page.list_procedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(page.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
    page.images = CreateLibraryImageList(ListIconSize(page));
    SendMessageW(page.list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(page.images));
    for (int column = 0; column < 2; ++column) {
        std::wstring text = ResourceText(kColumnHeaders[column]);
        LVCOLUMNW header = {};
        header.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        header.fmt = LVCFMT_LEFT;
        header.pszText = &text[0];
        header.cx = static_cast<int>(
            SendMessageW(page.list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
        header.iSubItem = column;
        SendMessageW(page.list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&header));
    }
}

void FillDropDown(const MascotPage& page, int id, UINT first, UINT second)
{
    SendItem(page, id, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(ResourceText(first).c_str()));
    SendItem(page, id, CB_INSERTSTRING, 1, reinterpret_cast<LPARAM>(ResourceText(second).c_str()));
    SendItem(page, id, CB_SETCURSEL, 0);
}

void OnInitDialog(HWND window)
{
    auto* page = new MascotPage;
    page->page = window;
    page->sheet = GetParent(window);
    page->list = GetDlgItem(window, IDC_MASCOT_LIST);
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(page));

    EnableWindow(page->sheet, FALSE);
    FitSheetToPage(page->sheet, window, IDD_MASCOT_PAGE);
    ReplaceSheetButtons(page->sheet);
    g_app.sheet = page->sheet;
    CentreWindow(page->sheet);
    SetUpList(*page);

    BeginScan();
    ScanLibrary(page->list, page->images);
    EndScan();
    SortRows(*page, 0);
    // From here the check boxes alone record what runs once the sheet closes.
    StopAllMascots();

    FillDropDown(*page, IDC_MASCOT_X_SIDE, IDS_FROM_LEFT, IDS_FROM_RIGHT);
    FillDropDown(*page, IDC_MASCOT_Y_SIDE, IDS_FROM_TOP, IDS_FROM_BOTTOM);
    FillDropDown(*page, IDC_MASCOT_X_UNIT, IDS_UNIT_PERCENT, IDS_UNIT_DOT);
    FillDropDown(*page, IDC_MASCOT_Y_UNIT, IDS_UNIT_PERCENT, IDS_UNIT_DOT);
    SetRange(*page, IDC_MASCOT_X_UPDOWN, kPercentRange);
    SetRange(*page, IDC_MASCOT_Y_UPDOWN, kPercentRange);
    SendItem(*page, IDC_MASCOT_WIDTH_UPDOWN, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(window, IDC_MASCOT_MIN_WIDTH)));
    SendItem(*page, IDC_MASCOT_HEIGHT_UPDOWN, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(window, IDC_MASCOT_MIN_HEIGHT)));
    SetRange(*page, IDC_MASCOT_WIDTH_UPDOWN, kSizeRange);
    SetRange(*page, IDC_MASCOT_HEIGHT_UPDOWN, kSizeRange);
    CheckDlgButton(window, IDC_MASCOT_RANDOM, g_app.settings.Random == 1 ? BST_CHECKED : BST_UNCHECKED);

    EnableWindow(page->sheet, TRUE);
}

void OnDestroy(HWND window, MascotPage* page)
{
    // The sheet normally announces its end first; this covers a sheet torn down without,
    // and gives up whatever the page still holds, so that no mascot window outlives it.
    Close(*page);
    GiveUpPreview(*page);
    ReleaseImageLists(*page);
    if (page->list_procedure)
        SetWindowLongPtrW(page->list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(page->list_procedure));
    SetWindowLongPtrW(window, DWLP_USER, 0);
    delete page;
}

// The sheet moved to a monitor of another scaling, or the monitor's scaling changed: the
// system has given the list its new font; its icons are taken anew at the new small icon size
// and both columns fitted to the texts in the new font.
void OnDpiChanged(MascotPage& page)
{
    if (page.closed || !page.images)
        return;
    int icon_size = 0, unused = 0;
    ImageList_GetIconSize(page.images, &icon_size, &unused);
    if (ListIconSize(page) != icon_size)
        page.images = RebuildLibraryImages(page.list, page.images, ListIconSize(page));
    FitLibraryColumns(page.list);
}

// --- messages --------------------------------------------------------------------------

void OnSetting(MascotPage& page, int id, int code)
{
    MascotSettings& settings = page.preview->settings;
    const bool selection = code == CBN_SELCHANGE;
    const bool clicked = code == BN_CLICKED;
    switch (id) {
    case IDC_MASCOT_X_SIDE: if (selection) settings.WidthLeftRight = SendItem(page, id, CB_GETCURSEL) == 0 ? 1 : 0; break;
    case IDC_MASCOT_Y_SIDE: if (selection) settings.HeightTopBottom = SendItem(page, id, CB_GETCURSEL) == 0 ? 1 : 0; break;
    case IDC_MASCOT_X_UNIT: if (selection) ApplyUnitRule(page, kHorizontal); break;
    case IDC_MASCOT_Y_UNIT: if (selection) ApplyUnitRule(page, kVertical); break;
    case IDC_MASCOT_X_VALUE: if (code == EN_CHANGE) settings.PositionX = read_edit_number(ItemText(page, id), true); break;
    case IDC_MASCOT_Y_VALUE: if (code == EN_CHANGE) settings.PositionY = read_edit_number(ItemText(page, id), true); break;
    case IDC_MASCOT_MIN_WIDTH: settings.rules.sizeMinimizeX = read_edit_number(ItemText(page, id), false); break;
    case IDC_MASCOT_MIN_HEIGHT: settings.rules.sizeMinimizeY = read_edit_number(ItemText(page, id), false); break;
    case IDC_MASCOT_NOT_MAXIMIZED: if (clicked) settings.rules.MaximizeWindow = IsChecked(page, id) ? 1 : 0; break;
    case IDC_MASCOT_NOT_OFF_SCREEN: if (clicked) settings.rules.OutScreenMascot = IsChecked(page, id) ? 1 : 0; break;
    case IDC_MASCOT_FOLLOW_GENERAL:
        if (clicked) {
            settings.NonTargetAll = IsChecked(page, id) ? 1 : 0;
            UpdateGroups(page);
        }
        break;
    case IDC_MASCOT_NOT_SMALL:
        if (clicked) {
            settings.rules.MinimizeWindow = IsChecked(page, id) ? 1 : 0;
            UpdateGroups(page);
        }
        break;
    default: break;
    }
}

void OnCommand(MascotPage& page, int id, int code)
{
    switch (id) {
    case IDC_MASCOT_RANDOM: if (code == BN_CLICKED) g_app.settings.Random = IsChecked(page, id) ? 1 : 0; break;
    case IDC_MASCOT_ABOUT: if (code == BN_CLICKED) ShowInformation(page); break;
    case IDC_MASCOT_RESTORE: if (code == BN_CLICKED) RestoreDefaults(page); break;
    case IDC_MASCOT_CLEAR_CACHE: if (code == BN_CLICKED) ClearCache(page); break;
    default:
        if (page.preview)
            OnSetting(page, id, code);
        break;
    }
}

void OnColumnClick(MascotPage& page, int column)
{
    if (column < 0 || column > 1)
        return;
    page.sort_modes[column] = next_sort_mode(page.sort_modes[column]);
    SortRows(page, column);
}

BOOL OnNotify(MascotPage& page, const NMHDR& header, LPARAM lparam)
{
    LONG_PTR result = 0;
    switch (header.code) {
    case NM_CLICK:
        if (header.hwndFrom != page.list)
            return FALSE;
        TakeUpSelection(page);
        break;
    case LVN_COLUMNCLICK:
        if (header.hwndFrom != page.list)
            return FALSE;
        OnColumnClick(page, reinterpret_cast<const NMLISTVIEW*>(lparam)->iSubItem);
        break;
    case PSN_APPLY: Close(page); result = PSNRET_NOERROR; break;
    case PSN_QUERYCANCEL: Close(page); result = FALSE; break;
    case PSN_RESET: Close(page); break;
    default: return FALSE;
    }
    SetWindowLongPtrW(page.page, DWLP_MSGRESULT, result);
    return TRUE;
}

void OnHelp(MascotPage& page, const HELPINFO& help)
{
    SetWindowContextHelpId(page.page, kMascotPageHelpContext);
    OpenHelpPopup(page.page, help_context_for(help.iCtrlId));
}

}  // namespace

std::vector<std::string> SaveMascotPageForSessionEnd(HWND sheet)
{
    const HWND window = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_INDEXTOHWND, 0, 0));
    MascotPage* page = window ? PageOf(window) : nullptr;
    if (!page || page->closed)
        return {};
    if (page->preview)
        SaveMascotSettings(*page->preview);
    return SourcePathsToStart(*page);
}

INT_PTR CALLBACK MascotPageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG) {
        OnInitDialog(window);
        return TRUE;
    }
    MascotPage* page = PageOf(window);
    if (!page)
        return FALSE;
    switch (message) {
    case WM_COMMAND: OnCommand(*page, LOWORD(wparam), HIWORD(wparam)); return TRUE;
    case WM_NOTIFY: return OnNotify(*page, *reinterpret_cast<const NMHDR*>(lparam), lparam);
    case WM_HELP: OnHelp(*page, *reinterpret_cast<const HELPINFO*>(lparam)); return TRUE;
    case kDpiChangedAfterParentMessage: OnDpiChanged(*page); return FALSE;
    case WM_DESTROY: OnDestroy(window, page); return FALSE;
    default: return FALSE;
    }
}
