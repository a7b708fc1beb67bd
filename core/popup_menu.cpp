#include "core/popup_menu.h"

PopupMenuStates PopupMenuStatesFor(SheetState sheet, bool has_subject)
{
    PopupMenuStates states;
    states.settings = states.version = states.exit = sheet == SheetState::Closed;
    states.about_mascot = has_subject;
    return states;
}

unsigned tray_retry_delay(int refusals)
{
    // Every second for ten seconds, then every five seconds for four minutes more.
    constexpr int kQuickTries = 10;
    constexpr int kAllTries = kQuickTries + 48;
    if (refusals < 1 || refusals > kAllTries)
        return 0;
    return refusals <= kQuickTries ? 1000 : 5000;
}
