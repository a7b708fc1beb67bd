#pragma once
#include <functional>
#include <vector>

#include "display/geometry.h"
#include "display/mascot_settings.h"

// Where the mascot's top-left corner goes on a target rectangle, by its anchor settings.
// Offsets in dots count picture pixels, so they grow with the dot scale; percentages do not.
Point32 compute_mascot_position(const Rect32& target, int32_t width, int32_t height, const MascotSettings& settings,
                                int32_t dot_scale = 1);

// What one mascot tick knows about the mascot and the world around it.
struct PlacementInput {
    Rect32 target;           // the controller's target rectangle
    Rect32 placed;           // the target rectangle at the last move or hide
    bool has_placed = false; // false until the first move or hide
    int32_t width = 0, height = 0;  // the mascot window's size on the screen
    MascotSettings settings;
    // Screen pixels per picture pixel of the mascot as it is drawn now.
    int32_t dot_scale = 1;
    // Dots per inch of the target's monitor. The least sizes were set in pixels at 96 and
    // keep their meaning: sizeMinimizeX counts as sizeMinimizeX × dpi / 96 screen pixels.
    int32_t dpi = 96;
    RuleBlock global_rules;
    int32_t no_window_flag = 0;
    int32_t screen_width = 0, screen_height = 0;
    // The monitors' rectangles, read where they are kept rather than copied on every tick;
    // none means the primary screen alone, at the origin.
    const std::vector<Rect32>* monitors = nullptr;
    bool sheet_open = false;
    // The last placement found the target cloaked. Uncloaked, it shows again with the same
    // rectangle, so the mascot is placed anew instead of waiting for the target to move.
    bool target_was_cloaked = false;
    // The display layout changed since the last placement: the last move or hide counts for
    // nothing, and the mascot is placed as if for the first time.
    bool layout_changed = false;
    // A minimised target stands far off every monitor (at -32000, -32000) and is refused
    // like a cloaked one.
    bool target_iconic = false;
};

enum class PlacementAction { Nothing, Hide, MoveAndShow };

struct PlacementResult {
    PlacementAction action = PlacementAction::Nothing;
    Rect32 target;           // the rectangle placed against (the taskbar's when it stood in)
    Point32 position;
    Rect32 placed;
    bool has_placed = false;
    bool target_cloaked = false;  // for the next placement's target_was_cloaked
};

// The services a placement may need. Each is asked only when the rules reach it: the show
// state only under the maximized rule, the owner program only when the target rectangle
// changed, the taskbar only for a refused target. Whether the target is cloaked is asked on
// every placement, since a switch of virtual desktop cloaks it without moving it; whether a
// full-screen program or a presentation runs only under the maximized rule, for a target that
// is not maximized itself.
struct PlacementQueries {
    std::function<bool()> target_is_maximized;
    std::function<bool()> target_is_excluded;
    std::function<Rect32()> taskbar_rect;
    std::function<bool()> target_is_cloaked;
    std::function<bool()> full_screen_program_runs;
};

PlacementResult decide_placement(const PlacementInput& input, const PlacementQueries& queries);

// The monitor dots per inch a mascot is drawn for, and the whole multiple of its pixels that
// gives.
struct MascotScale {
    int32_t dpi = 96;
    int32_t scale = 1;
};

struct ScaledPlacement {
    PlacementResult result;
    MascotScale scale;
};

// Places a picture of picture_width × picture_height and takes its scale from the monitor that
// the rectangle it is moved to lies on, not from the target's: on a taskbar or on a window
// spanning monitors the two differ. The least-size rule still counts at input.dpi, the
// target's monitor's. The placement is tried at the scale the mascot has; when its rectangle
// lies on a monitor of another scale, it is tried again at that one and taken when the mascot
// then moves onto a monitor of that same scale. Otherwise, and when it does not move or lands
// on no monitor, the mascot keeps its scale, so that a mascot on the seam between two
// monitors never flips between them. Each query is asked at most once.
ScaledPlacement place_at_monitor_scale(PlacementInput input, int32_t picture_width, int32_t picture_height,
                                       const MascotScale& now, const PlacementQueries& queries,
                                       const std::function<int32_t(const Rect32&)>& monitor_dpi);
