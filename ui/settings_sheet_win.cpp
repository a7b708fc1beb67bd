#include "ui/settings_sheet_win.h"

#include <windows.h>
#include <commctrl.h>

#include "core/application_win.h"
#include "ui/centring.h"
#include "resources/general_page_ids.h"
#include "resources/mascot_page_ids.h"
#include "ui/general_page_win.h"
#include "ui/mascot_page_win.h"

namespace {

HPROPSHEETPAGE CreatePage(int template_id, DLGPROC procedure)
{
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = g_app.instance;
    page.pszTemplate = MAKEINTRESOURCEA(template_id);
    page.pfnDlgProc = procedure;
    return CreatePropertySheetPageA(&page);
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

void OpenSettingsSheet()
{
    if (g_app.sheet_state != SheetState::Closed)
        return;
    g_app.sheet_state = SheetState::Open;
    HPROPSHEETPAGE pages[2] = {CreatePage(IDD_MASCOT_PAGE, MascotPageProc), CreatePage(IDD_GENERAL_PAGE, GeneralPageProc)};

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPTITLE | PSH_NOAPPLYNOW | PSH_USECALLBACK;
    header.pfnCallback = SheetCallback;
    header.hwndParent = g_app.controller;
    header.hInstance = g_app.instance;
    header.pszCaption = g_app.title;
    header.nPages = 2;
    header.nStartPage = 0;
    header.phpage = pages;

    const HWND controller = g_app.controller;
    const LONG style = GetWindowLongA(controller, GWL_STYLE);
    const LONG ex_style = GetWindowLongA(controller, GWL_EXSTYLE);
    const HWND previous_foreground = GetForegroundWindow();
    // A taskbar button with the title for as long as the sheet is open.
    SetWindowLongA(controller, GWL_STYLE, style & ~WS_SYSMENU);
    SetWindowLongA(controller, GWL_EXSTYLE, ex_style & ~WS_EX_TOOLWINDOW);
    ShowWindow(controller, SW_MINIMIZE);

    PropertySheetA(&header);
    g_app.sheet = nullptr;
    g_app.sheet_state = SheetState::Closed;

    ShowWindow(controller, SW_HIDE);
    SetWindowLongA(controller, GWL_EXSTYLE, GetWindowLongA(controller, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    SetWindowLongA(controller, GWL_STYLE, GetWindowLongA(controller, GWL_STYLE) | WS_SYSMENU);
    SetForegroundWindow(previous_foreground);
}

void WithdrawClosingSheet(HWND sheet)
{
    EnableWindow(sheet, FALSE);
    ShowWindow(sheet, SW_HIDE);
}
