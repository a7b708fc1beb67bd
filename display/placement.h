#pragma once
#include <functional>
#include <vector>

#include "display/geometry.h"
#include "display/mascot_settings.h"

// Where the mascot's top-left corner goes on a target rectangle, by its anchor settings.
Point32 compute_mascot_position(const Rect32& target, int32_t width, int32_t height, const MascotSettings& settings);

// What one mascot tick knows about the mascot and the world around it.
struct PlacementInput {
    Rect32 target;           // the controller's target rectangle
    Rect32 placed;           // the target rectangle at the last move or hide
    bool has_placed = false; // false until the first move or hide
    int32_t width = 0, height = 0;
    MascotSettings settings;
    RuleBlock global_rules;
    int32_t no_window_flag = 0;
    int32_t screen_width = 0, screen_height = 0;
    // The monitors' rectangles; none means the primary screen alone, at the origin.
    std::vector<Rect32> monitors;
    bool sheet_open = false;
    // The display layout changed since the last placement: the last move or hide counts for
    // nothing, and the mascot is placed as if for the first time.
    bool layout_changed = false;
};

enum class PlacementAction { Nothing, Hide, MoveAndShow };

struct PlacementResult {
    PlacementAction action = PlacementAction::Nothing;
    Rect32 target;           // the rectangle placed against (the taskbar's when it stood in)
    Point32 position;
    Rect32 placed;
    bool has_placed = false;
};

// The services a placement may need. Each is asked only when the rules reach it: the show
// state only under the maximized rule, the owner program only when the target rectangle
// changed, the taskbar only for a refused target.
struct PlacementQueries {
    std::function<bool()> target_is_maximized;
    std::function<bool()> target_is_excluded;
    std::function<Rect32()> taskbar_rect;
};

PlacementResult decide_placement(const PlacementInput& input, const PlacementQueries& queries);
