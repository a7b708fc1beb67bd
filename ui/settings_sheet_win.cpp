#include "ui/settings_sheet_win.h"

#include <windows.h>
#include <commctrl.h>

#include "core/application_win.h"
#include "ui/centring.h"
#include "ui/dialog_font_win.h"
#include "resources/general_page_ids.h"
#include "resources/mascot_page_ids.h"
#include "ui/general_page_win.h"
#include "ui/mascot_page_win.h"

namespace {

// The sheet's apply button, which this sheet hides but keeps.
constexpr int kApplyButton = 0x3021;

HPROPSHEETPAGE CreatePage(int template_id, DLGPROC procedure)
{
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DLGINDIRECT;
    page.hInstance = g_app.instance;
    page.pResource = DialogTemplate(template_id);
    page.pfnDlgProc = procedure;
    return CreatePropertySheetPageW(&page);
}

// The template's size in dialog units: cx and cy of its extended dialog header.
bool TemplateSize(int template_id, SIZE& units)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(DialogTemplate(template_id));
    constexpr DWORD kSizeOffset = 22;  // version, signature, help id, styles, item count, x, y
    if (!bytes || bytes[2] != 0xFF || bytes[3] != 0xFF)
        return false;
    units.cx = *reinterpret_cast<const short*>(bytes + kSizeOffset);
    units.cy = *reinterpret_cast<const short*>(bytes + kSizeOffset + 2);
    return true;
}

void GrowWindow(HWND window, int dx, int dy)
{
    RECT rect;
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left + dx, rect.bottom - rect.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveChild(HWND parent, HWND child, int dx, int dy)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(child, nullptr, rect.left + dx, rect.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The readable part of the template the sheet hands over: the older form's fixed header with
// its three empty arrays (menu, class, title) after it, which covers the newer form's header
// up to its position.
constexpr size_t kTemplateHeadBytes = 24;

// Before the sheet exists: it is made on the primary monitor, where the mascot page centres it
// before it shows, so that it is laid out once, at that monitor's scaling.
int CALLBACK SheetCallback(HWND, UINT message, LPARAM lparam)
{
    if (message == PSCB_PRECREATE && lparam)
        place_template_at_screen_origin(reinterpret_cast<uint8_t*>(lparam), kTemplateHeadBytes);
    return 0;
}

}  // namespace

void FitSheetToPage(HWND sheet, HWND page, int template_id)
{
    SIZE units = {};
    const HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    if (!tabs || !TemplateSize(template_id, units))
        return;
    RECT needed = {0, 0, units.cx, units.cy};
    MapDialogRect(page, &needed);
    RECT area;
    GetClientRect(tabs, &area);
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    const int dx = needed.right > area.right - area.left ? needed.right - (area.right - area.left) : 0;
    const int dy = needed.bottom > area.bottom - area.top ? needed.bottom - (area.bottom - area.top) : 0;
    if (dx == 0 && dy == 0)
        return;
    GrowWindow(tabs, dx, dy);
    GrowWindow(page, dx, dy);
    for (int button : {IDOK, IDCANCEL, IDHELP, kApplyButton})
        if (const HWND found = GetDlgItem(sheet, button))
            MoveChild(sheet, found, dx, dy);
    GrowWindow(sheet, dx, dy);
}

void OpenSettingsSheet()
{
    if (g_app.sheet_state != SheetState::Closed)
        return;
    g_app.sheet_state = SheetState::Open;
    HPROPSHEETPAGE pages[2] = {CreatePage(IDD_MASCOT_PAGE, MascotPageProc), CreatePage(IDD_GENERAL_PAGE, GeneralPageProc)};

    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPTITLE | PSH_NOAPPLYNOW | PSH_USECALLBACK;
    header.pfnCallback = SheetCallback;
    header.hwndParent = g_app.controller;
    header.hInstance = g_app.instance;
    header.pszCaption = g_app.title.c_str();
    header.nPages = 2;
    header.nStartPage = 0;
    header.phpage = pages;

    const HWND controller = g_app.controller;
    const LONG style = GetWindowLongW(controller, GWL_STYLE);
    const LONG ex_style = GetWindowLongW(controller, GWL_EXSTYLE);
    const HWND previous_foreground = GetForegroundWindow();
    // A taskbar button with the title for as long as the sheet is open.
    SetWindowLongW(controller, GWL_STYLE, style & ~WS_SYSMENU);
    SetWindowLongW(controller, GWL_EXSTYLE, ex_style & ~WS_EX_TOOLWINDOW);
    ShowWindow(controller, SW_MINIMIZE);

    PropertySheetW(&header);
    g_app.sheet = nullptr;
    g_app.sheet_state = SheetState::Closed;

    ShowWindow(controller, SW_HIDE);
    SetWindowLongW(controller, GWL_EXSTYLE, GetWindowLongW(controller, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    SetWindowLongW(controller, GWL_STYLE, GetWindowLongW(controller, GWL_STYLE) | WS_SYSMENU);
    SetForegroundWindow(previous_foreground);
}

void WithdrawClosingSheet(HWND sheet)
{
    EnableWindow(sheet, FALSE);
    ShowWindow(sheet, SW_HIDE);
}
