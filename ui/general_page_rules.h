#pragma once
#include <cstdint>

#include "display/geometry.h"
#include "display/mascot_settings.h"

// The decisions of the settings sheet's general page, apart from its controls.

// Which control groups are enabled: the least-size fields follow the size rule; the three
// choices of what a mascot does instead follow whether any rule can refuse a window.
struct GeneralGroups {
    bool sizes;
    bool no_attach;
};
GeneralGroups general_groups(const RuleBlock& rules);

// The radio button (1043 to 1045) that shows NoWindowFlag; 0 when none does.
int radio_for_no_window_flag(int32_t no_window_flag);
// NoWindowFlag for a radio button; 0 for any other control.
int32_t no_window_flag_for_radio(int control_id);

// The help file's pop-up topic for a control of the page.
constexpr uint32_t kGeneralPageHelpContext = 28;
uint32_t general_help_context_for(int control_id);

// A press starts a drag when it lies on the picker icon's screen rectangle, the right and
// bottom edges included.
bool is_on_picker(const Rect32& icon, int32_t x, int32_t y);
