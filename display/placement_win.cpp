#include "display/placement_win.h"

#include "core/application_win.h"
#include "core/display_layout_win.h"
#include "core/exclusion_list.h"
#include "display/monitors.h"
#include "core/roster_win.h"
#include "display/dwm_attribute_win.h"
#include "display/notification_state_win.h"
#include "display/frames_win.h"
#include "display/monitor_dpi_win.h"
#include "display/placement.h"
#include "display/target_states.h"
#include "display/window_program_win.h"

namespace {

// A target that covers its whole monitor counts as maximised: full-screen videos, games and
// presentations usually are not maximised windows.
bool TargetIsMaximized()
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (GetWindowPlacement(g_app.target, &placement) && placement.showCmd == SW_SHOWMAXIMIZED)
        return true;
    return !IsDesktopOrShellWindow(g_app.target) && covers_its_monitor(g_app.target_rect, g_app.display.monitors);
}

bool LookUpTargetProgramExcluded()
{
    std::string path;
    if (!GetWindowProgramName(g_app.target, path))
        return false;
    return IsExcluded(program_file_name(path));
}

Rect32 TaskbarRect() { return TaskbarRectFor(g_app.target_rect); }

bool TargetIsCloaked()
{
    return g_app.target_cloaked.get(g_app.controller_ticks, [] {
        const unsigned long kCloakedAttribute = 14;  // DWMWA_CLOAKED
        DWORD reasons = 0;
        const bool read = read_dwm_window_attribute(g_app.target, kCloakedAttribute, &reasons, sizeof reasons);
        return target_is_cloaked(read, reasons);
    });
}

bool FullScreenProgramRuns()
{
    return g_app.full_screen_program_runs.get(g_app.controller_ticks, [] {
        int state = 0;
        const bool read = read_user_notification_state(state);
        return notification_state_is_full_screen(read, state);
    });
}

}  // namespace

int32_t TargetMonitorDpi()
{
    return g_app.target_dpi.get(g_app.controller_ticks, [] { return MonitorDpiFor(g_app.target_rect); });
}

void PlaceMascot(Mascot& mascot)
{
    PlacementInput input;
    input.target = g_app.target_rect;
    input.placed = mascot.placed_rect;
    input.has_placed = mascot.placed;
    input.settings = mascot.settings;
    // The least sizes count in pixels of the target's monitor, whichever the mascot stands on.
    input.dpi = MonitorDpiFor(g_app.target_rect);
    input.global_rules = g_app.settings.rules;
    input.no_window_flag = g_app.settings.NoWindowFlag;
    input.screen_width = g_app.screen_width;
    input.screen_height = g_app.screen_height;
    input.monitors = &g_app.display.monitors;
    input.sheet_open = SheetIsOpen();
    input.target_was_cloaked = mascot.target_was_cloaked;
    input.layout_changed = mascot.placed_generation != g_app.display_generation;
    input.target_iconic = IsIconic(g_app.target) != FALSE;

    // Under NoWindowFlag 2 or 3 a refused target is never the rectangle placed on, so the rule
    // asks again on every tick; the program of one window is looked up once.
    const auto target_program_is_excluded = [&mascot] {
        return mascot.target_excluded.get(reinterpret_cast<uintptr_t>(g_app.target), LookUpTargetProgramExcluded);
    };
    // The target's monitor is asked once per controller tick; another monitor the mascot may
    // stand on is asked when it is one.
    const auto monitor_dpi = [](const Rect32& rect) {
        return rect == g_app.target_rect ? TargetMonitorDpi() : MonitorDpiFor(rect);
    };
    const ScaledPlacement scaled = place_at_monitor_scale(
        input, mascot.width, mascot.height, {mascot.dpi, mascot.scale},
        {TargetIsMaximized, target_program_is_excluded, TaskbarRect, TargetIsCloaked, FullScreenProgramRuns},
        monitor_dpi);
    const PlacementResult& result = scaled.result;
    SetMascotDpi(mascot, scaled.scale.dpi);
    mascot.target_rect = result.target;
    mascot.x = result.position.x;
    mascot.y = result.position.y;
    mascot.placed_rect = result.placed;
    mascot.placed = result.has_placed;
    mascot.target_was_cloaked = result.target_cloaked;
    mascot.placed_generation = g_app.display_generation;
    switch (result.action) {
    case PlacementAction::Hide:
        SetWindowPos(mascot.window, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        break;
    case PlacementAction::MoveAndShow:
        SetWindowPos(mascot.window, nullptr, mascot.x, mascot.y, 0, 0,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOSIZE);
        break;
    case PlacementAction::Nothing:
        break;
    }
}
