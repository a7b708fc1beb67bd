#pragma once
#include "core/sheet_state.h"

// Which commands of the popup menu can be chosen. The settings sheet runs modally and stops
// the mascots, so while it exists (open or closing) the menu offers neither a second sheet,
// nor the about box, nor exit; about-this-mascot needs a mascot to describe, wherever the
// menu was opened. Help is always offered.
struct PopupMenuStates {
    bool settings = true;
    bool about_mascot = true;
    bool version = true;
    bool exit = true;
};

PopupMenuStates PopupMenuStatesFor(SheetState sheet, bool has_subject);

// The taskbar may not take the tray icon yet when the program starts with Windows, nor right
// after it has started again. The icon is offered again after this many milliseconds once it
// has been refused this many times in a row; 0 once the offers have lasted some minutes, so
// that a session without a taskbar does not offer it for ever.
unsigned tray_retry_delay(int refusals);
