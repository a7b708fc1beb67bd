#include "ui/mascot_page_rules.h"

#include <climits>

#include <vector>

int next_sort_mode(int mode) { return mode >= 3 || mode < 0 ? 0 : mode + 1; }

int compare_rows(int mode, int text_order, bool checked_a, bool checked_b)
{
    const bool descending = mode == 1 || mode == 3;
    if ((mode == 2 || mode == 3) && checked_a != checked_b) {
        const bool a_first = mode == 2 ? checked_a : !checked_a;
        return a_first ? -1 : 1;
    }
    return descending ? -text_order : text_order;
}

UnitRule unit_rule(bool percent_shown, int32_t position)
{
    if (!percent_shown)
        return {false, 0, kDotRange, 0};
    if (position < 0)
        position = 0;
    if (position >= 100)
        position = 100;
    return {true, position, kPercentRange, 1};
}

EnabledGroups enabled_groups(bool preview, int32_t non_target_all, int32_t minimize_window)
{
    const bool rules = preview && non_target_all == 0;
    return {preview, rules, rules && minimize_window == 1};
}

int32_t read_edit_number(const std::string& text, bool is_signed)
{
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    bool negative = false;
    if (is_signed && at < text.size() && text[at] == '-') {
        negative = true;
        ++at;
    }
    const size_t digits_start = at;
    long long value = 0;
    const long long limit = is_signed ? (negative ? -static_cast<long long>(INT_MIN) : INT_MAX) : UINT_MAX;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + (text[at] - '0');
        if (value > limit)
            return 0;
        ++at;
    }
    if (at == digits_start)
        return 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    if (at != text.size())
        return 0;
    return static_cast<int32_t>(negative ? -value : value);
}

uint32_t help_context_for(int control_id)
{
    switch (control_id) {
    case 1000: return 4;
    case 1001: case 1003: case 1004: case 1005: case 1007: case 1008: case 1012: return 7;
    case 1015: case 1017: case 1019: case 1026: case 1027: case 1032: case 1034: return 11;
    case 1009: return 14;
    case 1011: return 15;
    case 1056: return 16;
    case 1010: return 17;
    default: return 0;
    }
}

bool may_start_another(size_t running, uint32_t max_mascot_count) { return running < max_mascot_count; }

namespace {

// Mascot names hold backslashes, so their keys nest; no name nests deeper than a path can.
constexpr int kMaxClearDepth = 64;

// Deletes the key's subkeys, each named once, so that one that will not go cannot hold the
// loop. Of one that will not go, the values go, and the subkeys below it are cleared the same
// way: the mascot it belongs to keeps no setting, and those after it still go.
void clear_subkeys(Registry& registry, const std::string& key, int depth)
{
    for (const std::string& child : registry.enum_subkeys(key)) {
        const std::string path = key + "\\" + child;
        if (registry.delete_subtree(path))
            continue;
        registry.delete_values(path);
        if (depth < kMaxClearDepth)
            clear_subkeys(registry, path, depth + 1);
    }
}

}  // namespace

void delete_all_subkeys(Registry& registry, const std::string& key)
{
    registry.open(key, true);
    clear_subkeys(registry, key, 0);
}
