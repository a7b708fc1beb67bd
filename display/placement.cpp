#include "display/placement.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>

#include "display/display_scale.h"
#include "display/monitors.h"

namespace {

// Integer sums and products wrap as 32-bit values would instead of overflowing.
int32_t wrap(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value))); }

// near_edge + travel × percent × 0.01, truncated toward zero; travel is the target's extent
// plus the mascot's own, so 0 and 100 put the mascot just outside either edge. Worked in whole
// hundredths, which gives what the product in doubles gives for every position that fits in 32
// bits, on every processor: in doubles a 32-bit x87 build would keep 63000 × 0.01 a hair above
// 630 and stand mascots a pixel away from where the 64-bit build puts them.
int32_t percent_offset(int32_t base, int32_t travel, int32_t percent, bool subtract)
{
    const int64_t shift = static_cast<int64_t>(travel) * percent;
    const int64_t hundredths = static_cast<int64_t>(base) * 100;
    const int64_t value = (subtract ? hundredths - shift : hundredths + shift) / 100;
    if (value >= std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value <= std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

int32_t axis_position(int32_t near_edge, int32_t far_edge, int32_t size, int32_t position, int32_t per_dot,
                      int32_t from_near, int32_t dot_scale)
{
    const int32_t travel = wrap(int64_t(far_edge) - near_edge + size);
    if (per_dot == 1) {
        return from_near == 1 ? percent_offset(wrap(int64_t(near_edge) - size), travel, position, false)
                              : percent_offset(far_edge, travel, position, true);
    }
    position = scaled_length(position, dot_scale);
    return from_near == 1 ? wrap(int64_t(near_edge) + position) : wrap(int64_t(far_edge) - position - size);
}

// The mascot leaves the screen when some pixel of it lies on no monitor.
bool leaves_screen(const Point32& at, int32_t width, int32_t height, const PlacementInput& input)
{
    const Rect32 mascot = {at.x, at.y, wrap(int64_t(at.x) + width), wrap(int64_t(at.y) + height)};
    if (int64_t(at.x) + width > std::numeric_limits<int32_t>::max() ||
        int64_t(at.y) + height > std::numeric_limits<int32_t>::max())
        return true;
    if (!input.monitors || input.monitors->empty())
        return !on_monitors(mascot, {Rect32{0, 0, input.screen_width, input.screen_height}});
    return !on_monitors(mascot, *input.monitors);
}

bool on_some_monitor(const Rect32& rect, const PlacementInput& input)
{
    const auto overlaps = [&rect](const Rect32& monitor) {
        return rect.left < monitor.right && monitor.left < rect.right && rect.top < monitor.bottom &&
               monitor.top < rect.bottom;
    };
    if (!input.monitors || input.monitors->empty())
        return overlaps(Rect32{0, 0, input.screen_width, input.screen_height});
    for (const Rect32& monitor : *input.monitors)
        if (overlaps(monitor))
            return true;
    return false;
}

// A query answered once and remembered, for a placement tried at two scales.
template <typename Answer>
std::function<Answer()> asked_once(const std::function<Answer()>& query)
{
    if (!query)
        return query;
    auto answer = std::make_shared<std::optional<Answer>>();
    return [query, answer] {
        if (!*answer)
            *answer = query();
        return **answer;
    };
}

// Below the least size, the least size counted in screen pixels of a monitor of `dpi`: an
// exact comparison of extent × 96 against least × dpi, without rounding either.
bool below_least_size(int64_t extent, int32_t least, int32_t dpi)
{
    const int64_t monitor_dpi = dpi > 0 ? dpi : kBaseDpi;
    return extent * kBaseDpi < int64_t(least) * monitor_dpi;
}

}  // namespace

Point32 compute_mascot_position(const Rect32& target, int32_t width, int32_t height, const MascotSettings& settings,
                                int32_t dot_scale)
{
    Point32 at;
    at.x = axis_position(target.left, target.right, width, settings.PositionX, settings.WidthPerDot,
                         settings.WidthLeftRight, dot_scale);
    at.y = axis_position(target.top, target.bottom, height, settings.PositionY, settings.HeightPerDot,
                         settings.HeightTopBottom, dot_scale);
    return at;
}

PlacementResult decide_placement(const PlacementInput& input, const PlacementQueries& queries)
{
    PlacementResult result;
    result.target = input.target;
    result.placed = input.placed;
    result.has_placed = input.has_placed && !input.layout_changed;
    result.position = compute_mascot_position(result.target, input.width, input.height, input.settings, input.dot_scale);

    const RuleBlock& rules = input.settings.NonTargetAll == 1 ? input.global_rules : input.settings.rules;
    const Rect32& t = input.target;
    const bool cloaked = queries.target_is_cloaked && queries.target_is_cloaked();
    result.target_cloaked = cloaked;
    const bool uncloaked = input.target_was_cloaked && !cloaked;
    const bool unchanged = result.has_placed && t == input.placed && !uncloaked;
    bool refused;
    if (cloaked || input.target_iconic)
        refused = true;
    else if (rules.MaximizeWindow == 1 &&
             ((queries.target_is_maximized && queries.target_is_maximized()) ||
              (queries.full_screen_program_runs && queries.full_screen_program_runs())))
        refused = true;
    else if (rules.OutScreenMascot == 1 &&
             leaves_screen(result.position, input.width, input.height, input))
        refused = true;
    else if (rules.MinimizeWindow == 1 &&
             (below_least_size(int64_t(t.right) - t.left, rules.sizeMinimizeX, input.dpi) ||
              below_least_size(int64_t(t.bottom) - t.top, rules.sizeMinimizeY, input.dpi)))
        refused = true;
    else if (unchanged)
        refused = false;
    else
        refused = queries.target_is_excluded && queries.target_is_excluded();

    if (refused) {
        switch (input.no_window_flag) {
        case 1:
            result.action = PlacementAction::Hide;
            result.placed = result.target;
            result.has_placed = true;
            return result;
        case 2:
            result.target = queries.taskbar_rect ? queries.taskbar_rect() : Rect32{};
            result.position =
                compute_mascot_position(result.target, input.width, input.height, input.settings, input.dot_scale);
            break;
        case 3:
            return result;
        default:
            break;
        }
    }

    if (result.has_placed && result.target == result.placed && !input.sheet_open && !uncloaked)
        return result;
    result.placed = result.target;
    result.has_placed = true;
    result.action = PlacementAction::MoveAndShow;
    return result;
}

ScaledPlacement place_at_monitor_scale(PlacementInput input, int32_t picture_width, int32_t picture_height,
                                       const MascotScale& now, const PlacementQueries& queries,
                                       const std::function<int32_t(const Rect32&)>& monitor_dpi)
{
    const PlacementQueries once = {asked_once(queries.target_is_maximized), asked_once(queries.target_is_excluded),
                                   asked_once(queries.taskbar_rect), asked_once(queries.target_is_cloaked),
                                   asked_once(queries.full_screen_program_runs)};
    const auto at_scale = [&](int32_t scale) {
        input.width = scaled_length(picture_width, scale);
        input.height = scaled_length(picture_height, scale);
        input.dot_scale = scale;
        return decide_placement(input, once);
    };
    // The monitor's scale under the mascot moved at `scale`, or 0 when it is not moved onto one.
    const auto landing = [&](const PlacementResult& result, int32_t scale, MascotScale& found) {
        if (result.action != PlacementAction::MoveAndShow || !monitor_dpi)
            return false;
        const Rect32 rect = {result.position.x, result.position.y,
                             wrap(int64_t(result.position.x) + scaled_length(picture_width, scale)),
                             wrap(int64_t(result.position.y) + scaled_length(picture_height, scale))};
        if (!on_some_monitor(rect, input))
            return false;
        found.dpi = monitor_dpi(rect);
        found.scale = scale_for_dpi(found.dpi);
        return true;
    };

    const int32_t scale_now = now.scale < 1 ? 1 : now.scale;
    const PlacementResult first = at_scale(scale_now);
    MascotScale under_first;
    if (!landing(first, scale_now, under_first))
        return {first, now};
    if (under_first.scale == scale_now)
        return {first, under_first};
    const PlacementResult second = at_scale(under_first.scale);
    MascotScale under_second;
    if (landing(second, under_first.scale, under_second) && under_second.scale == under_first.scale)
        return {second, under_second};
    return {first, now};
}
