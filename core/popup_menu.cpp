#include "core/popup_menu.h"

PopupMenuStates PopupMenuStatesFor(SheetState sheet, bool has_subject)
{
    PopupMenuStates states;
    states.settings = states.version = states.exit = sheet == SheetState::Closed;
    states.about_mascot = has_subject;
    return states;
}
