#include "core/popup_menu.h"

PopupMenuStates PopupMenuStatesFor(bool sheet_open, bool has_subject)
{
    PopupMenuStates states;
    states.settings = states.version = states.exit = !sheet_open;
    states.about_mascot = has_subject;
    return states;
}
