#include "core/tray_win.h"

#include <windows.h>

#include <cstring>

#include "core/application_win.h"
#include "core/popup_menu.h"
#include "core/system_records_win.h"
#include "resources/menu_popup_ids.h"

namespace {

void SetItemState(HMENU menu, UINT id, bool enabled)
{
    const UINT state = enabled ? MFS_ENABLED : MFS_GRAYED;
    MENUITEMINFOA item = {};
    item.cbSize = kMenuItemRecordSize;
    item.fMask = MIIM_STATE;
    GetMenuItemInfoA(menu, id, FALSE, &item);
    item.fState = state;
    SetMenuItemInfoA(menu, id, FALSE, &item);
}

}  // namespace

bool AddTrayIcon()
{
    NOTIFYICONDATAA& tray = g_app.tray;
    tray = {};
    tray.cbSize = kTrayRecordSize;
    tray.hWnd = g_app.controller;
    tray.uID = 1;
    tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray.uCallbackMessage = kTrayCallbackMessage;
    tray.hIcon = g_app.small_icon;
    std::strncpy(tray.szTip, g_app.title, sizeof tray.szTip - 1);
    if (Shell_NotifyIconA(NIM_ADD, &tray))
        return true;
    // Refused because the icon is there already (the taskbar announced a start but kept it).
    return Shell_NotifyIconA(NIM_MODIFY, &tray) != FALSE;
}

void RemoveTrayIcon() { Shell_NotifyIconA(NIM_DELETE, &g_app.tray); }

void ShowPopupMenu(Mascot* subject)
{
    HMENU loaded = LoadMenuA(g_app.instance, MAKEINTRESOURCEA(IDM_POPUP));
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
    PostMessageA(g_app.controller, WM_NULL, 0, 0);
    DestroyMenu(loaded);
}
