#pragma once
#include "display/mascot_win.h"

// The tray icon's callback message.
constexpr unsigned kTrayCallbackMessage = 0x400;

// True when the taskbar has taken the icon, or had it already.
bool AddTrayIcon();
void RemoveTrayIcon();
// Opens the popup menu at the cursor for a mascot, or for none when the tray opened it.
void ShowPopupMenu(Mascot* subject);
