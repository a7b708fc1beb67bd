#include "core/tray_win.h"

#include <windows.h>

#include "core/application_win.h"
#include "core/popup_menu.h"
#include "core/system_records_win.h"
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

}  // namespace

bool AddTrayIcon()
{
    NOTIFYICONDATAW& tray = g_app.tray;
    tray = {};
    tray.cbSize = kTrayRecordSize;
    tray.hWnd = g_app.controller;
    tray.uID = 1;
    tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray.uCallbackMessage = kTrayCallbackMessage;
    tray.hIcon = g_app.small_icon;
    g_app.title.copy(tray.szTip, 63);
    Shell_NotifyIconW(NIM_ADD, &tray);
    return true;
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
