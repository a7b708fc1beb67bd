#pragma once
#include "display/mascot_win.h"

// The tray icon's callback message.
constexpr unsigned kTrayCallbackMessage = 0x400;

// True when the taskbar has taken the icon, or had it already.
bool AddTrayIcon();
void RemoveTrayIcon();
// Loads the tray icon again at the size the notification area now shows icons at, after a
// change of scaling or a restart of the taskbar, and gives it to the icon when it is shown.
void ReloadTrayIcon(bool icon_shown);
// Opens the popup menu at the cursor for a mascot, or for none when the tray opened it.
void ShowPopupMenu(Mascot* subject);
