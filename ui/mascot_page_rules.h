#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/registry.h"

// The decisions of the settings sheet's mascot page, apart from its controls.

// A header click moves its column's mode on: 0, 1, 2, 3, then 0 again.
int next_sort_mode(int mode);

// Order of two rows for a sort mode, given the platform's case-insensitive comparison of
// their texts (negative, zero or positive) and their check boxes: 0 text ascending, 1 text
// descending, 2 checked rows first then ascending, 3 unchecked rows first then descending.
int compare_rows(int mode, int text_order, bool checked_a, bool checked_b);

// An up-down's range as the control takes it: the larger number as its lower limit, so the
// up arrow lowers the value.
struct UpDownRange {
    int lower;
    int upper;
};
constexpr UpDownRange kPercentRange = {100, 0};
constexpr UpDownRange kDotRange = {999, -999};
constexpr UpDownRange kSizeRange = {1000, 0};

// The unit rule of one axis, from the unit shown and the position's number. Percent keeps
// the position within 0 to 100 and sets the percent flag; dots leave it alone.
struct UnitRule {
    bool set_position;
    int position;
    UpDownRange range;
    int32_t per_dot_setting;  // WidthPerDot or HeightPerDot: 1 percent, 0 dots
};
UnitRule unit_rule(bool percent_shown, int32_t position);

// Which control groups are enabled.
struct EnabledGroups {
    bool mascot;  // position box, buttons, the follow-the-general-settings box
    bool rules;   // the three refusal rules
    bool sizes;   // the least-size fields
};
EnabledGroups enabled_groups(bool preview, int32_t non_target_all, int32_t minimize_window);

// An edit's text as a number: optional blanks, a minus sign only when signed, decimal
// digits, optional blanks. Anything else, or a number that does not fit, reads as 0.
int32_t read_edit_number(const std::string& text, bool is_signed);

// The help file's pop-up topic for a control of the page.
constexpr uint32_t kMascotPageHelpContext = 28;
uint32_t help_context_for(int control_id);

// The sheet restarts a checked row while fewer mascots run than the maximum.
bool may_start_another(size_t running, uint32_t max_mascot_count);

// Deletes every subkey of the key (creating the key when missing) and leaves the key itself.
// A subkey that will not go is emptied of its values instead, with the keys below it, and the
// clear goes on with the next one.
void delete_all_subkeys(Registry& registry, const std::string& key);
