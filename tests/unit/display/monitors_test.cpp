#include <gtest/gtest.h>

#include <utility>

#include "display/monitors.h"

namespace {

const Rect32 kPrimary = {0, 0, 1024, 768};
const Rect32 kRight = {1024, 0, 1824, 600};  // shorter: a gap below it, right of the primary
const Rect32 kLeft = {-800, 0, 0, 600};

}  // namespace

TEST(Monitors, OnMonitorsEveryPixelMustBeOnSome)
{
    const struct {
        const char* what;
        Rect32 rect;
        std::vector<Rect32> monitors;
        bool on;
    } rows[] = {
        // One monitor: the single-screen rule, to the pixel.
        {"inside", {100, 100, 164, 180}, {kPrimary}, true},
        {"right edge at the screen width", {960, 100, 1024, 180}, {kPrimary}, true},
        {"one pixel past the right edge", {961, 100, 1025, 180}, {kPrimary}, false},
        {"one pixel above the top", {100, -1, 164, 79}, {kPrimary}, false},
        {"bottom edge at the screen height", {100, 688, 164, 768}, {kPrimary}, true},
        {"one pixel left of the left edge", {-1, 100, 63, 180}, {kPrimary}, false},
        {"no pixels, on the right edge", {1024, 100, 1024, 100}, {kPrimary}, true},
        {"no pixels, past the right edge", {1025, 100, 1025, 100}, {kPrimary}, false},
        // Several monitors.
        {"wholly on the second monitor", {1100, 100, 1164, 180}, {kPrimary, kRight}, true},
        {"straddling the primary and the right one", {990, 100, 1054, 180}, {kPrimary, kRight}, true},
        {"straddling into the gap below the shorter one", {990, 560, 1054, 640}, {kPrimary, kRight}, false},
        {"in the gap alone", {1100, 650, 1164, 700}, {kPrimary, kRight}, false},
        {"past the far right edge", {1800, 100, 1864, 180}, {kPrimary, kRight}, false},
        {"on the left monitor, negative coordinates", {-700, 100, -636, 180}, {kLeft, kPrimary}, true},
        {"straddling the left and the primary", {-30, 100, 34, 180}, {kLeft, kPrimary}, true},
        {"left of the left monitor", {-830, 100, -766, 180}, {kLeft, kPrimary}, false},
        {"across three monitors", {-100, 100, 1100, 180}, {kLeft, kPrimary, kRight}, true},
        {"no monitor at all", {0, 0, 10, 10}, {}, false},
        {"overlapping monitors count once", {0, 0, 1024, 768}, {kPrimary, {0, 0, 512, 384}}, true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(on_monitors(row.rect, row.monitors), row.on) << row.what;
}

TEST(Monitors, MonitorOfARectangleAndTheTaskbarThere)
{
    const std::vector<Rect32> monitors = {kPrimary, kRight};
    EXPECT_EQ(monitor_of({1000, 0, 1100, 50}, monitors), 1) << "more of it on the second";
    EXPECT_EQ(monitor_of({900, 0, 1050, 50}, monitors), 0) << "more of it on the primary";
    EXPECT_EQ(monitor_of({1900, 100, 2000, 200}, monitors), 1) << "off every monitor: the nearest";
    EXPECT_EQ(monitor_of({0, 0, 1, 1}, {}), -1);

    DisplayLayout layout;
    layout.monitors = {kPrimary, kRight, kLeft};
    layout.primary_taskbar = {0, 738, 1024, 768};
    layout.other_taskbars = {{1024, 570, 1824, 600}};
    EXPECT_EQ(taskbar_for({200, 200, 600, 500}, layout), layout.primary_taskbar);
    EXPECT_EQ(taskbar_for({1200, 100, 1600, 400}, layout), layout.other_taskbars[0]);
    EXPECT_EQ(taskbar_for({-700, 100, -300, 400}, layout), layout.primary_taskbar) << "a monitor without one";
    // Wine's hidden taskbar has no size; it still stands for the primary monitor's.
    layout.primary_taskbar = {};
    EXPECT_EQ(taskbar_for({1200, 100, 1600, 400}, layout), layout.other_taskbars[0]);
}

TEST(Monitors, CoveringItsMonitorIsFullScreen)
{
    const std::vector<Rect32> monitors = {kPrimary, kRight};
    const struct {
        const char* what;
        Rect32 rect;
        bool covers;
    } rows[] = {
        {"exactly the primary", kPrimary, true},
        {"larger than the primary, as a maximised frame is", {-4, -4, 1028, 772}, true},
        {"exactly the second", kRight, true},
        {"one pixel short of the bottom", {0, 0, 1024, 767}, false},
        {"a work-area sized window", {0, 0, 1024, 738}, false},
        {"both monitors at once", {0, 0, 1824, 768}, true},
        {"an empty rectangle", {0, 0, 0, 0}, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(covers_its_monitor(row.rect, monitors), row.covers) << row.what;
}

TEST(Monitors, OnlyADifferentReadIsANewLayout)
{
    DisplayLayout read;
    read.monitors = {kPrimary, kRight};
    read.work_areas = {{0, 0, 1024, 738}, {1024, 0, 1824, 570}};
    read.primary_taskbar = {0, 738, 1024, 768};
    read.other_taskbars = {{1024, 570, 1824, 600}};
    const struct {
        const char* what;
        void (*change)(DisplayLayout&);
        bool same;
    } rows[] = {
        {"read again unchanged (a wallpaper step, a policy refresh)", [](DisplayLayout&) {}, true},
        {"a monitor added", [](DisplayLayout& l) { l.monitors.push_back(kLeft); }, false},
        {"the monitors' order", [](DisplayLayout& l) { std::swap(l.monitors[0], l.monitors[1]); }, false},
        {"a work area shrunk by a docked bar", [](DisplayLayout& l) { l.work_areas[1].right = 1700; }, false},
        {"the taskbar moved to the top", [](DisplayLayout& l) { l.primary_taskbar = {0, 0, 1024, 30}; }, false},
        {"an auto-hidden taskbar slid out", [](DisplayLayout& l) { l.primary_taskbar.top = 766; }, false},
        {"a second taskbar gone", [](DisplayLayout& l) { l.other_taskbars.clear(); }, false},
    };
    for (const auto& row : rows) {
        DisplayLayout again = read;
        row.change(again);
        EXPECT_EQ(same_layout(read, again), row.same) << row.what;
    }
}

TEST(Monitors, AGoneTaskbarKeepsItsLastRectangle)
{
    const Rect32 last = {0, 738, 1024, 768};
    DisplayLayout layout;
    layout.monitors = {kPrimary};
    // The shell has ended: its taskbar window answers no rectangle, and a refused mascot still
    // stands where the taskbar was rather than at the screen's corner.
    layout.primary_taskbar = taskbar_rect_or_last(false, {}, last);
    EXPECT_EQ(taskbar_for({200, 200, 600, 500}, layout), last);
    EXPECT_EQ(taskbar_rect_or_last(true, {0, 0, 1024, 30}, last), (Rect32{0, 0, 1024, 30}));
    EXPECT_EQ(taskbar_rect_or_last(true, {}, last), Rect32{}) << "a hidden taskbar's empty rectangle is read";
}
