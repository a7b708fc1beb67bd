#include "ui/settings_sheet_win.h"

#include <windows.h>
#include <commctrl.h>

#include "core/application_win.h"
#include "resources/general_page_ids.h"
#include "resources/mascot_page_ids.h"
#include "ui/general_page_win.h"
#include "ui/mascot_page_win.h"

namespace {

HPROPSHEETPAGE CreatePage(int template_id, DLGPROC procedure)
{
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = g_app.instance;
    page.pszTemplate = MAKEINTRESOURCEW(template_id);
    page.pfnDlgProc = procedure;
    return CreatePropertySheetPageW(&page);
}

}  // namespace

void OpenSettingsSheet()
{
    if (g_app.sheet_state != SheetState::Closed)
        return;
    g_app.sheet_state = SheetState::Open;
    HPROPSHEETPAGE pages[2] = {CreatePage(IDD_MASCOT_PAGE, MascotPageProc), CreatePage(IDD_GENERAL_PAGE, GeneralPageProc)};

    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPTITLE | PSH_NOAPPLYNOW;
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
