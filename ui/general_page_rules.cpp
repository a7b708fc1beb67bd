#include "ui/general_page_rules.h"

#include "resources/general_page_ids.h"

GeneralGroups general_groups(const RuleBlock& rules)
{
    const bool any_rule = rules.MaximizeWindow == 1 || rules.OutScreenMascot == 1 || rules.MinimizeWindow == 1;
    return {rules.MinimizeWindow == 1, any_rule};
}

int radio_for_no_window_flag(int32_t no_window_flag)
{
    return no_window_flag >= 1 && no_window_flag <= 3 ? IDC_GENERAL_MOUSE_OVER_HIDE + no_window_flag : 0;
}

int32_t no_window_flag_for_radio(int control_id)
{
    return control_id >= IDC_GENERAL_HIDE && control_id <= IDC_GENERAL_STAY ? control_id - IDC_GENERAL_MOUSE_OVER_HIDE : 0;
}

uint32_t general_help_context_for(int control_id)
{
    switch (control_id) {
    case 1028: case 1029: case 1030: case 1036: case 1038: case 1039: case 1040: case 1041: case 1069: return 18;
    case 1043: case 1044: case 1045: case 1051: return 19;
    case 1042: return 20;
    case 1047: case 1048: case 1049: case 1064: case 1066: return 21;
    default: return 0;
    }
}

bool is_on_picker(const Rect32& icon, int32_t x, int32_t y)
{
    return x >= icon.left && x <= icon.right && y >= icon.top && y <= icon.bottom;
}
