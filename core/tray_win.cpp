#include "core/tray_win.h"

#include <windows.h>

#include "core/application_win.h"
#include "core/popup_menu.h"
#include "core/system_records_win.h"
#include "display/monitor_dpi_win.h"
#include "resources/icon_ids.h"
#include "resources/menu_popup_ids.h"

namespace {

void SetItemState(HMENU menu, UINT id, bool enabled)
{
    const UINT state = enabled ? MFS_ENABLED : MFS_GRAYED;
    MENUITEMINFOW item = {};
    item.cbSize = kMenuItemRecordSize;
    item.fMask = MIIM_STATE;
    GetMenuItemInfoW(menu, id, FALSE, &item);
    item.fState = state;
    SetMenuItemInfoW(menu, id, FALSE, &item);
}

using LoadIconMetricFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);

// The program's icon at the notification area's size. Common controls 6 (Vista on) know
// that size and pick or scale the icon's image for it; elsewhere it is the small icon size
// at the system's DPI. The icon is the caller's to destroy.
HICON LoadTrayIconImage()
{
    constexpr int kSmallIconMetric = 0;  // LIM_SMALL
    static const auto load_icon_metric = reinterpret_cast<LoadIconMetricFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "LoadIconMetric")));
    HICON icon = nullptr;
    if (load_icon_metric &&
        SUCCEEDED(load_icon_metric(g_app.instance, MAKEINTRESOURCEW(IDI_PROGRAM), kSmallIconMetric, &icon)) && icon)
        return icon;
    const int size = SystemMetricForDpi(SM_CXSMICON, SystemDpi());
    return static_cast<HICON>(
        LoadImageW(g_app.instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

void ReloadTrayIcon(bool icon_shown)
{
    const HICON fresh = LoadTrayIconImage();
    if (!fresh)
        return;
    const HICON previous = g_app.tray_icon;
    g_app.tray_icon = fresh;
    if (icon_shown) {
        g_app.tray.hIcon = fresh;
        g_app.tray.uFlags = NIF_ICON;
        Shell_NotifyIconW(NIM_MODIFY, &g_app.tray);
        g_app.tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    }
    if (previous)
        DestroyIcon(previous);
}

bool AddTrayIcon()
{
    NOTIFYICONDATAW& tray = g_app.tray;
    tray = {};
    tray.cbSize = kTrayRecordSize;
    tray.hWnd = g_app.controller;
    tray.uID = 1;
    tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray.uCallbackMessage = kTrayCallbackMessage;
    if (!g_app.tray_icon)
        g_app.tray_icon = LoadTrayIconImage();
    tray.hIcon = g_app.tray_icon ? g_app.tray_icon : g_app.small_icon;
    g_app.title.copy(tray.szTip, 63);
    if (Shell_NotifyIconW(NIM_ADD, &tray))
        return true;
    // Refused because the icon is there already (the taskbar announced a start but kept it).
    return Shell_NotifyIconW(NIM_MODIFY, &tray) != FALSE;
}

void RemoveTrayIcon() { Shell_NotifyIconW(NIM_DELETE, &g_app.tray); }

void ShowPopupMenu(Mascot* subject)
{
    HMENU loaded = LoadMenuW(g_app.instance, MAKEINTRESOURCEW(IDM_POPUP));
    HMENU popup = GetSubMenu(loaded, 0);
    // Help keeps the state it was loaded with.
    const PopupMenuStates states = PopupMenuStatesFor(g_app.sheet_state, subject != nullptr);
    SetItemState(popup, IDM_EXIT, states.exit);
    SetItemState(popup, IDM_VERSION, states.version);
    SetItemState(popup, IDM_SETTINGS, states.settings);
    SetItemState(popup, IDM_ABOUT_MASCOT, states.about_mascot);
    g_app.menu_subject = subject;
    POINT cursor;
    GetCursorPos(&cursor);
    // A menu whose thread is not in the foreground gets no keys and stays open when the user
    // clicks elsewhere, so one of the program's windows takes the foreground: the mascot that
    // opened the menu, which no mascot ever takes as its target, or else the controller, which
    // lies over the taskbar that a click on the tray has just brought to the front anyway.
    SetForegroundWindow(subject ? subject->window : g_app.controller);
    TrackPopupMenu(popup, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, g_app.controller, nullptr);
    // Lets the click or key that closed the menu be handled before another menu can open.
    PostMessageW(g_app.controller, WM_NULL, 0, 0);
    DestroyMenu(loaded);
}
